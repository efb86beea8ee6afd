#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/PluginBase.h"

namespace Korvanta {

class Algorithm;
class AlgorithmController;
class DataList;

// A plug-in library that could not be loaded: missing file, missing entry points, wrong descriptor or
// a failing init().
class PluginLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads one plug-in library the way the host application does: opens it, checks its descriptor, creates
// the plug-in and runs its init(). Owns the library, the plug-in and the factories the plug-in
// registers; destroys the factories, then the plug-in, then closes the library.
class PluginLoader {
public:
    // The text every descriptor starts with.
    static constexpr const char* magicText = "__KORVANTA_PLUGIN_V2_MAGIC_STRING__";

    // Throws PluginLoadError with the path and the reason.
    explicit PluginLoader(const std::string& path);
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    const std::string& path() const { return m_path; }
    const std::string& pluginId() const { return m_pluginId; }
    const std::string& descriptor() const { return m_descriptor; }
    PluginBase& plugin() const { return *m_plugin; }
    const KorvantaLibPlugin::Factories& factories() const { return m_factories; }

    // The algorithm registered under the full id, made for the data by the first factory that knows the
    // id; null when no factory knows it or the algorithm rejects the data.
    std::unique_ptr<Algorithm> createAlgorithm(const std::string& id, const DataList& data) const;
    // A controller for the algorithm from the first controller factory that has one, or null.
    std::unique_ptr<AlgorithmController> createController(Algorithm* algorithm) const;

private:
    void* symbol(const char* name) const;
    void unload() noexcept;

    std::string m_path;
    void* m_library = nullptr;
    std::string m_pluginId;
    std::string m_descriptor;
    std::unique_ptr<PluginBase> m_plugin;
    KorvantaLibPlugin::Factories m_factories;
};

}  // namespace Korvanta
