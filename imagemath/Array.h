#pragma once

namespace Korvanta {
namespace ImageMath {

// The leaf of every expression, over S: a SharedImageSet (Set level), a SharedImage (image level)
// or a TypedImage<T> (memory level). T is the element type of the image's CPU memory, or void for
// an untyped leaf that takes the destination's element type when bound to memory. The flag is false
// in every leaf. See SetArray.h, ImageArray.h and typed/TypedArray.h.
template <class S, class T, bool Flag>
class Array;

}  // namespace ImageMath
}  // namespace Korvanta
