#pragma once

namespace Korvanta {

// The running host application as plug-ins see it. The stand-in offers nothing through it.
class ApplicationController {
public:
    virtual ~ApplicationController();
};

}  // namespace Korvanta
