#include "host/core/PluginLoader.h"

#include <dlfcn.h>

#include <cstring>

#include "host/core/Algorithm.h"
#include "host/core/AlgorithmController.h"
#include "host/core/AlgorithmControllerFactory.h"
#include "host/core/AlgorithmFactory.h"
#include "host/core/DataAnnotationFactory.h"

namespace Korvanta {

namespace {

using CreatePluginFunction = PluginBase* (*)();
using PluginIdFunction = const char* (*)();

std::string lastLoaderError() {
    const char* text = dlerror();
    return text ? text : "unknown error";
}

}  // namespace

PluginLoader::PluginLoader(const std::string& path) : m_path(path) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw PluginLoadError("Cannot load plug-in library '" + path + "': " + lastLoaderError());
    m_library = std::shared_ptr<void>(handle, [](void* library) { dlclose(library); });
    try {
        const char* const* descriptor = static_cast<const char* const*>(symbol("korvantaPluginDescriptor"));
        if (!*descriptor || std::strncmp(*descriptor, magicText, std::strlen(magicText)) != 0)
            throw PluginLoadError("Plug-in library '" + path +
                                  "' has no valid plug-in descriptor (expected it to start with " +
                                  magicText + ")");
        m_descriptor = *descriptor;
        auto pluginId = reinterpret_cast<PluginIdFunction>(symbol("korvantaPluginId"));
        auto createPlugin = reinterpret_cast<CreatePluginFunction>(symbol("korvantaCreatePlugin"));
        const char* id = pluginId();
        m_pluginId = id ? id : "";
        m_plugin.reset(createPlugin());
        if (!m_plugin)
            throw PluginLoadError("Plug-in library '" + path + "' created no plug-in");
        if (const int code = m_plugin->init(); code != 0)
            throw PluginLoadError("Plug-in '" + m_pluginId + "' failed to initialise (code " +
                                  std::to_string(code) + ")");
        if (auto* libPlugin = dynamic_cast<KorvantaLibPlugin*>(m_plugin.get()))
            m_factories = libPlugin->takeRegisteredFactories();
    } catch (...) {
        unload();
        throw;
    }
}

PluginLoader::~PluginLoader() {
    unload();
}

void* PluginLoader::symbol(const char* name) const {
    dlerror();
    void* address = dlsym(m_library.get(), name);
    if (!address)
        throw PluginLoadError("Plug-in library '" + m_path + "' lacks the symbol " + name + ": " +
                              lastLoaderError());
    return address;
}

void PluginLoader::unload() noexcept {
    // The factories' and the plug-in's code lives in the library: destroy them before giving up the
    // loader's share of it.
    m_factories = {};
    m_plugin.reset();
    m_library.reset();
}

std::vector<PluginLoader::OfferedAlgorithm> PluginLoader::algorithms() const {
    std::vector<OfferedAlgorithm> offered;
    for (const auto& factory : m_factories.algorithmFactories)
        for (const AlgorithmFactory::Descriptor& descriptor : factory->algorithmDescriptors())
            offered.push_back({descriptor.id, descriptor.name});
    return offered;
}

PluginObject<Algorithm> PluginLoader::createAlgorithm(const std::string& id, const DataList& data) const {
    for (const auto& factory : m_factories.algorithmFactories)
        if (factory->algorithmDescriptor(id))
            return PluginObject<Algorithm>(factory->instantiateAlgorithm(id, data).release(),
                                           PluginObjectDeleter{m_library});
    return nullptr;
}

PluginObject<AlgorithmController> PluginLoader::createController(Algorithm* algorithm) const {
    for (const auto& factory : m_factories.controllerFactories)
        if (AlgorithmController* controller = factory->create(algorithm))
            return PluginObject<AlgorithmController>(controller, PluginObjectDeleter{m_library});
    return nullptr;
}

}  // namespace Korvanta
