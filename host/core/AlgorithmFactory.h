#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "host/core/Algorithm.h"
#include "host/core/Flags.h"
#include "host/core/Log.h"
#include "host/core/Properties.h"
#include "host/core/String.h"
#include "host/image/Data.h"

namespace Korvanta {

// Creates the algorithms of one library. Algorithms are registered under "factory name.id".
class AlgorithmFactory {
public:
    struct Descriptor {
        enum AlgorithmAttributes : std::uint32_t { NoAttributes = 0 };

        std::string id;    // the full id
        std::string name;  // the name path, ";"-separated
        Flags<AlgorithmAttributes> attributes;
        bool hidden = false;
        // Returns a new algorithm for the data (the caller owns it), or null.
        std::function<Algorithm*(const DataList&)> create;
        std::function<bool(const DataList&)> compatible;
    };

    explicit AlgorithmFactory(std::string name);
    AlgorithmFactory(const AlgorithmFactory&) = delete;
    AlgorithmFactory& operator=(const AlgorithmFactory&) = delete;
    virtual ~AlgorithmFactory();

    // The algorithm registered under the full id, made for the data; null when there is no such id or
    // the algorithm does not accept the data.
    virtual std::unique_ptr<Algorithm> instantiateAlgorithm(const std::string& id,
                                                            const DataList& data) const;
    // The descriptors whose compatibility function accepts the data, in registration order.
    virtual std::vector<const Descriptor*> compatibleDescriptors(const DataList& data) const;
    virtual const Descriptor* algorithmDescriptor(const std::string& id) const;
    virtual const std::vector<Descriptor>& algorithmDescriptors() const { return m_descriptors; }

    const std::string& name() const { return m_name; }
    // The full id under which the class was registered; empty when it was not.
    std::string algorithmId(std::type_index type) const;

    // Registers the class T, which offers `static bool createCompatible(const DataList&, Algorithm**)`.
    // A second registration of the same full id is ignored apart from a warning.
    template <class T>
    void registerAlgorithm(std::string id, std::string name,
                           Flags<Descriptor::AlgorithmAttributes> attributes,
                           std::optional<Properties> defaults);

private:
    template <class T>
    static Algorithm* createAlgorithm(const std::string& fullId, const std::string& namePath,
                                      const std::optional<Properties>& defaults, const DataList& data);

    std::string m_name;
    std::vector<Descriptor> m_descriptors;
    std::unordered_map<std::type_index, std::string> m_typeMap;
};

template <class T>
void AlgorithmFactory::registerAlgorithm(std::string id, std::string name,
                                         Flags<Descriptor::AlgorithmAttributes> attributes,
                                         std::optional<Properties> defaults) {
    if (!m_name.empty())
        id = m_name + "." + id;
    if (algorithmDescriptor(id)) {
        Log::write(Log::Warning, "AlgorithmFactory", [&] { return "Algorithm already registered: " + id; });
        return;
    }
    Descriptor descriptor;
    descriptor.id = id;
    descriptor.name = name;
    descriptor.attributes = attributes;
    descriptor.create = [id, name, defaults](const DataList& data) {
        return createAlgorithm<T>(id, name, defaults, data);
    };
    descriptor.compatible = [](const DataList& data) { return T::createCompatible(data, nullptr); };
    m_descriptors.push_back(std::move(descriptor));
    m_typeMap[std::type_index(typeid(T))] = id;
}

template <class T>
Algorithm* AlgorithmFactory::createAlgorithm(const std::string& fullId, const std::string& namePath,
                                             const std::optional<Properties>& defaults,
                                             const DataList& data) {
    Algorithm* created = nullptr;
    try {
        T::createCompatible(data, &created);
    } catch (const std::exception& e) {
        Log::write(Log::Error, "", [&] { return "Cannot create algorithm " + namePath + ": " + e.what(); });
        return nullptr;
    }
    std::unique_ptr<Algorithm> algorithm(created);
    if (!algorithm)
        return nullptr;
    const std::vector<std::string> path = String::split(namePath, ";", String::NoSplitFlags);
    algorithm->setFactoryInfo({fullId, path.empty() ? namePath : path.back(), data});
    if (auto* io = dynamic_cast<IoAlgorithm*>(algorithm.get()))
        io->configureFromGlobalSettings();
    if (defaults)
        algorithm->configure(&*defaults);
    return algorithm.release();
}

}  // namespace Korvanta
