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

// Deletes an object that a plug-in's code made, then gives up the share of the plug-in's library that the
// object held: the object's destructor and virtual functions live in that library, so it stays loaded as
// long as the object does, whether or not its loader still exists.
struct PluginObjectDeleter {
    std::shared_ptr<void> library;

    template <class T>
    void operator()(T* object) {
        delete object;
        library.reset();
    }
};

// An object made by a loaded plug-in, owned by the caller.
template <class T>
using PluginObject = std::unique_ptr<T, PluginObjectDeleter>;

// A plug-in library that could not be loaded: missing file, missing entry points, wrong descriptor or
// a failing init().
class PluginLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads one plug-in library the way the host application does: opens it, checks its descriptor, creates
// the plug-in and runs its init(). Owns the plug-in and the factories the plug-in registers, and destroys
// them when it is destroyed. The library is closed once neither the loader nor any algorithm or controller
// it made is left.
class PluginLoader {
public:
    // The text every descriptor starts with.
    static constexpr const char* magicText = "__KORVANTA_PLUGIN_V2_MAGIC_STRING__";

    // Throws PluginLoadError with the path and the reason.
    explicit PluginLoader(const std::string& path);
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // What a menu shows of an algorithm the plug-in offers. Plain text: the factories themselves stay
    // inside the loader, since whatever they make would otherwise hold no share of the library.
    struct OfferedAlgorithm {
        std::string id;    // the full id, for createAlgorithm
        std::string name;  // the name path, ";"-separated
    };

    const std::string& path() const { return m_path; }
    const std::string& pluginId() const { return m_pluginId; }
    const std::string& descriptor() const { return m_descriptor; }
    // Read only: init() and the factories it registers stay with the loader.
    const PluginBase& plugin() const { return *m_plugin; }
    // Every algorithm of every factory, in registration order.
    std::vector<OfferedAlgorithm> algorithms() const;

    // The algorithm registered under the full id, made for the data by the first factory that knows the
    // id; null when no factory knows it or the algorithm rejects the data. It may outlive the loader.
    PluginObject<Algorithm> createAlgorithm(const std::string& id, const DataList& data) const;
    // A controller for the algorithm from the first controller factory that has one, or null. It may
    // outlive the loader.
    PluginObject<AlgorithmController> createController(Algorithm* algorithm) const;

private:
    void* symbol(const char* name) const;
    void unload() noexcept;

    std::string m_path;
    std::shared_ptr<void> m_library;  // the dlopen handle; every PluginObject holds a share
    std::string m_pluginId;
    std::string m_descriptor;
    std::unique_ptr<PluginBase> m_plugin;
    KorvantaLibPlugin::Factories m_factories;
};

}  // namespace Korvanta
