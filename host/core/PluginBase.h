#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/core/AlgorithmControllerFactory.h"
#include "host/core/AlgorithmFactory.h"
#include "host/core/ApplicationController.h"
#include "host/core/DataAnnotationFactory.h"

namespace Korvanta {

// The object through which a loaded library offers its functions to the host.
class PluginBase {
public:
    PluginBase() = default;
    PluginBase(const PluginBase&) = delete;
    PluginBase& operator=(const PluginBase&) = delete;
    virtual ~PluginBase();

    virtual std::string author() const = 0;
    virtual std::string description() const = 0;
    // Ids of plug-ins that must be loaded first.
    virtual std::vector<std::string> dependencies() const { return {}; }
    // Called once after creation; 0 means success.
    virtual int init() = 0;
};

// A plug-in of the imaging library: it hands its factories to the host from init().
class KorvantaLibPlugin : public PluginBase {
public:
    struct Factories {
        std::vector<std::unique_ptr<AlgorithmFactory>> algorithmFactories;
        std::vector<std::unique_ptr<AlgorithmControllerFactory>> controllerFactories;
        std::vector<std::unique_ptr<DataAnnotationFactory>> annotationFactories;
    };

    ~KorvantaLibPlugin() override;

    virtual void setApplicationController(ApplicationController& controller);

    // Gives the host the factories registered so far; the plug-in keeps none of them.
    Factories takeRegisteredFactories();

protected:
    // Passes ownership of the factories to the host; empty pointers are skipped.
    void registerFactories(std::unique_ptr<AlgorithmFactory> algorithmFactory,
                           std::unique_ptr<AlgorithmControllerFactory> controllerFactory,
                           std::unique_ptr<DataAnnotationFactory> annotationFactory);

private:
    Factories m_registered;
};

// Announces a plug-in while its library is loaded: constructed by the library's one static object,
// destroyed when the library is unloaded.
class PluginAutoRegistrationGuard {
public:
    using IdFunction = const char* (*)();

    explicit PluginAutoRegistrationGuard(IdFunction id);
    ~PluginAutoRegistrationGuard();
    PluginAutoRegistrationGuard(const PluginAutoRegistrationGuard&) = delete;
    PluginAutoRegistrationGuard& operator=(const PluginAutoRegistrationGuard&) = delete;

    // The ids of the plug-ins whose libraries are loaded now, in load order.
    static std::vector<std::string> registeredIds();

private:
    IdFunction m_id;
};

}  // namespace Korvanta
