#pragma once

#include <functional>
#include <string>

namespace Korvanta {

// The host log. A message is composed and written only when its level is at or above the global level
// and its category is accepted; callers check both before composing (see Log::write).
class Log {
public:
    enum Level { Trace = 0, Debug = 1, Info = 2, Warning = 3, Error = 4, Fatal = 5 };

    struct Record {
        Level level;
        std::string category;
        std::string text;
        std::string file;
        int line;
    };
    using Sink = std::function<void(const Record&)>;
    using CategoryFilter = std::function<bool(Level, const std::string& category)>;

    // Messages below this level are skipped.
    static int g_globalLevel;

    static bool isAccepted(Level level, const char* category);
    static void log(Level level, const char* category, const std::string& text, const char* file, int line);

    // Composes and writes the message only when the level and category let it through; written with an
    // empty file name and line -1, as the plug-in side logs.
    template <class Compose>
    static void write(Level level, const char* category, Compose&& compose) {
        if (g_globalLevel > level || !isAccepted(level, category))
            return;
        log(level, category, compose(), "", -1);
    }

    // Replaces where records go (standard error by default); an empty sink restores the default.
    // Returns the previous sink.
    static Sink setSink(Sink sink);
    // Replaces the category test (everything accepted by default); empty restores the default.
    static CategoryFilter setCategoryFilter(CategoryFilter filter);
};

}  // namespace Korvanta
