#pragma once

#include <QJsonObject>
#include <memory>

#include "host/image/SharedImageSet.h"

namespace Korvanta {
namespace tools {

// An image set from JSON:
//   {"images": [{"pixelType": "uint16", "width": 2, "height": 2, "slices": 1, "channels": 1,
//                "shift": 0, "scale": 1, "values": [...], "memory": true}, ...],
//    "selection": [0, 2], "modality": 0}
// "values" (interleaved elements: numbers, or the texts "NaN", "Infinity", "-Infinity" and "-0", which
// JSON numbers cannot hold) is optional and otherwise
// zero; "memory": false makes an image without CPU memory, as does a pixel type without an element type.
// Throws std::invalid_argument naming the image and field for anything malformed.
std::unique_ptr<SharedImageSet> imageSetFromJson(const QJsonObject& object);

// The images of a set with every element value, in the same form.
QJsonObject imageSetToJson(const SharedImageSet& set);

}  // namespace tools
}  // namespace Korvanta
