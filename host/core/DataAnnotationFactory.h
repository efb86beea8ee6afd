#pragma once

namespace Korvanta {

// Creates annotations of data. No plug-in here provides one; the type exists for registerFactories.
class DataAnnotationFactory {
public:
    virtual ~DataAnnotationFactory();
};

}  // namespace Korvanta
