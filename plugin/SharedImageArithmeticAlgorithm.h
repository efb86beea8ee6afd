#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/core/Algorithm.h"
#include "host/core/Parameter.h"
#include "host/image/SharedImageSet.h"
#include "plugin/Export.h"

namespace Korvanta {

// One element-wise operation over every selected image of an image set: with a second set, with the
// scalar "rightHandSide", or unary. The result goes into the first set ("inPlace") or into a clone that
// takeOutput hands over. "evalString" shows the GLSL text of the current expression.
class IMAGEMATH_EXPORT SharedImageArithmeticAlgorithm : public Algorithm {
public:
    enum Mode : int {
        BinaryAdd = 0,
        BinaryMinus = 1,
        BinaryMult = 2,
        BinaryDivide = 3,
        BinaryPow = 4,
        UnaryMinus = 5,
        UnaryAbs = 6,
        UnaryChannelSwizzle = 7,
    };

    // The sets must outlive the algorithm; second may be null.
    SharedImageArithmeticAlgorithm(SharedImageSet& first, SharedImageSet* second);
    ~SharedImageArithmeticAlgorithm() override;

    // Whether the list holds one non-empty image set, or two whose images are pairwise compatible (or the
    // second holding one image compatible with every image of the first); then, for a non-null out
    // pointer, a new algorithm for them that the caller owns.
    static bool createCompatible(const DataList& data, Algorithm** algorithm);

    void configure(const Properties* properties) override;
    void configuration(Properties* properties) const override;
    // Throws std::invalid_argument, before any image is cloned or written, for operands it cannot compute.
    // Drops any output an earlier compute left; only a compute that succeeds leaves one to take.
    void compute() override;
    OwningDataList takeOutput() override;

private:
    IMAGEMATH_INTERNAL void onModeChanged();
    IMAGEMATH_INTERNAL void onRightHandSideChanged();
    IMAGEMATH_INTERNAL void onChannelIndicesChanged();
    IMAGEMATH_INTERNAL void refreshEvalString();
    IMAGEMATH_INTERNAL void assign(SharedImageSet& destination);

    Parameter<std::string> m_evalString{"evalString", ""};
    Parameter<bool> m_inPlace{"inPlace", false};
    Parameter<Mode> m_mode{"mode", BinaryAdd};
    Parameter<float> m_rightHandSide{"rightHandSide", 1.0f};
    Parameter<std::vector<unsigned long>> m_channelIndices{"channelIndices", {0, 1, 2, 3}};
    SharedImageSet& m_first;
    SharedImageSet* m_second;
    std::unique_ptr<SharedImageSet> m_output;
};

}  // namespace Korvanta
