#include "host/core/AlgorithmFactory.h"

#include <algorithm>

namespace Korvanta {

AlgorithmFactory::AlgorithmFactory(std::string name) : m_name(std::move(name)) {}

AlgorithmFactory::~AlgorithmFactory() = default;

std::unique_ptr<Algorithm> AlgorithmFactory::instantiateAlgorithm(const std::string& id,
                                                                  const DataList& data) const {
    const Descriptor* descriptor = algorithmDescriptor(id);
    if (!descriptor || !descriptor->create)
        return nullptr;
    return std::unique_ptr<Algorithm>(descriptor->create(data));
}

std::vector<const AlgorithmFactory::Descriptor*> AlgorithmFactory::compatibleDescriptors(
    const DataList& data) const {
    std::vector<const Descriptor*> compatible;
    for (const Descriptor& descriptor : m_descriptors)
        if (descriptor.compatible && descriptor.compatible(data))
            compatible.push_back(&descriptor);
    return compatible;
}

const AlgorithmFactory::Descriptor* AlgorithmFactory::algorithmDescriptor(const std::string& id) const {
    auto it = std::find_if(m_descriptors.begin(), m_descriptors.end(),
                           [&](const Descriptor& descriptor) { return descriptor.id == id; });
    return it == m_descriptors.end() ? nullptr : &*it;
}

std::string AlgorithmFactory::algorithmId(std::type_index type) const {
    auto it = m_typeMap.find(type);
    return it == m_typeMap.end() ? std::string() : it->second;
}

}  // namespace Korvanta
