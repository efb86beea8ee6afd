#pragma once

// Every expression node of the Set and image levels, and through them the memory level.
#include "imagemath/BinaryOpTpl.h"
#include "imagemath/ChannelSwizzleViewTpl.h"
#include "imagemath/ImageArray.h"
#include "imagemath/ImgOps.h"
#include "imagemath/Scalar.h"
#include "imagemath/SetArray.h"
#include "imagemath/UnaryOpTpl.h"
#include "imagemath/typed/TypedArray.h"
