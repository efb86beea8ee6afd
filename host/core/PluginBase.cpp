#include "host/core/PluginBase.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "host/core/AlgorithmControllerFactory.h"
#include "host/core/AlgorithmFactory.h"
#include "host/core/ApplicationController.h"
#include "host/core/DataAnnotationFactory.h"
#include "host/core/NeverDestroyed.h"

namespace Korvanta {

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<PluginAutoRegistrationGuard::IdFunction> ids;
};

Registry& registry() {
    static NeverDestroyed<Registry> instance;
    return instance.get();
}

template <class T>
void appendIfSet(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T> item) {
    if (item)
        list.push_back(std::move(item));
}

}  // namespace

ApplicationController::~ApplicationController() = default;

DataAnnotationFactory::~DataAnnotationFactory() = default;

PluginBase::~PluginBase() = default;

KorvantaLibPlugin::~KorvantaLibPlugin() = default;

void KorvantaLibPlugin::setApplicationController(ApplicationController&) {}

KorvantaLibPlugin::Factories KorvantaLibPlugin::takeRegisteredFactories() {
    return std::exchange(m_registered, {});
}

void KorvantaLibPlugin::registerFactories(std::unique_ptr<AlgorithmFactory> algorithmFactory,
                                          std::unique_ptr<AlgorithmControllerFactory> controllerFactory,
                                          std::unique_ptr<DataAnnotationFactory> annotationFactory) {
    appendIfSet(m_registered.algorithmFactories, std::move(algorithmFactory));
    appendIfSet(m_registered.controllerFactories, std::move(controllerFactory));
    appendIfSet(m_registered.annotationFactories, std::move(annotationFactory));
}

PluginAutoRegistrationGuard::PluginAutoRegistrationGuard(IdFunction id) : m_id(id) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().ids.push_back(id);
}

PluginAutoRegistrationGuard::~PluginAutoRegistrationGuard() {
    std::lock_guard<std::mutex> lock(registry().mutex);
    auto& ids = registry().ids;
    auto it = std::find(ids.begin(), ids.end(), m_id);
    if (it != ids.end())
        ids.erase(it);
}

std::vector<std::string> PluginAutoRegistrationGuard::registeredIds() {
    std::lock_guard<std::mutex> lock(registry().mutex);
    std::vector<std::string> ids;
    for (IdFunction id : registry().ids)
        ids.emplace_back(id ? id() : "");
    return ids;
}

}  // namespace Korvanta
