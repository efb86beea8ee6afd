#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExpressionTestSupport.h"
#include "host/gl/LeafGl.h"

namespace Korvanta {
namespace ImageMath {
namespace testing {
namespace {

struct BinaryFragment {
    std::shared_ptr<ImgOps::BinaryImgOpGl> op;
    std::string a, b, expected;
};

TEST(GlslText, OperatorFragmentsInsertOperandTextsVerbatim) {
    const std::vector<BinaryFragment> cases = {
        {std::make_shared<ImgOps::add>(), "a", "b", "(a)+(b)"},
        {std::make_shared<ImgOps::minus>(), "a", "b", "(a)-(b)"},
        {std::make_shared<ImgOps::mult>(), "a", "b", "(a)*(b)"},
        {std::make_shared<ImgOps::divide>(), "a", "b", "(a)/(b)"},
        {std::make_shared<ImgOps::divideIfNotZero>(), "a", "b",
         "(float(length(b) != 0.0) * (a))/(b + float(length(b) == 0.0))"},
        {std::make_shared<ImgOps::pow>(), "a", "b", "pow((a), (b))"},
        {std::make_shared<ImgOps::add>(), "", "", "()+()"},
    };
    for (const BinaryFragment& c : cases) {
        EXPECT_EQ(c.op->evalString(c.a, c.b), c.expected);
    }
    EXPECT_EQ(ImgOps::unaryMinus().evalString("x"), "-(x)");
    EXPECT_EQ(ImgOps::abs().evalString("x"), "abs(x)");
    EXPECT_EQ(ImgOps::abs().evalString(""), "abs()");
}

class WholeExpressionText : public ::testing::Test {
protected:
    std::unique_ptr<SharedImageSet> first = makeSet(describe(PixelType::UByte, 3));
    std::unique_ptr<SharedImageSet> second = makeSet(describe(PixelType::Float, 3));
    SetLeaf lhs = defaultLeaf<SetLeaf>(*first);
    SetLeaf rhs = defaultLeaf<SetLeaf>(*second);
};

TEST_F(WholeExpressionText, NamesLeavesAndScalarsInOneWalk) {
    EXPECT_EQ((BinaryOpTpl<ImgOps::add, SetLeaf, Scalar<float>>(lhs, Scalar<float>(2.0f)).evalString(true)),
              "(image0)+(scalarf0)");
    EXPECT_EQ((BinaryOpTpl<ImgOps::pow, SetLeaf, Scalar<float>>(lhs, Scalar<float>(2.0f)).evalString(true)),
              "pow((image0), (scalarf0))");
    EXPECT_EQ((BinaryOpTpl<ImgOps::divideIfNotZero, SetLeaf, SetLeaf>(lhs, rhs).evalString(true)),
              "(float(length(image1) != 0.0) * (image0))/(image1 + float(length(image1) == 0.0))");
    EXPECT_EQ((BinaryOpTpl<ImgOps::add, SetLeaf, SetLeaf>(lhs, lhs).evalString(true)), "(image0)+(image0)");
    EXPECT_EQ((UnaryOpTpl<ImgOps::unaryMinus, SetLeaf>(lhs).evalString(true)), "-(image0)");
    EXPECT_EQ((UnaryOpTpl<ImgOps::abs, SetLeaf>(lhs).evalString(true)), "abs(image0)");
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(lhs, {2, 1, 0}).evalString(true), "(image0).bgr");
    EXPECT_EQ(ChannelSwizzleViewTpl<SetLeaf>(lhs, {3, 3}).evalString(true), "(image0).aa");
}

TEST_F(WholeExpressionText, SwizzlesAShaderCannotExpressStillHaveText) {
    for (const std::vector<unsigned long>& indices :
         {std::vector<unsigned long>{0, 1, 2, 3, 0}, std::vector<unsigned long>{7},
          std::vector<unsigned long>{}}) {
        const std::string text = ChannelSwizzleViewTpl<SetLeaf>(lhs, indices).evalString(true);
        EXPECT_NE(text.find("image0"), std::string::npos) << text;
    }
}

TEST_F(WholeExpressionText, UntaggedTextKeepsTheNamesOfTheLastWalk) {
    const BinaryOpTpl<ImgOps::add, SetLeaf, Scalar<float>> sum(lhs, Scalar<float>(2.0f));
    EXPECT_EQ(sum.evalString(false), "(uninitialized)+(uninitialized)");
    internal::tagAndAssignNamesHelper(sum, "p_");
    EXPECT_EQ(sum.evalString(false), "(p_image0)+(p_scalarf0)");
}

TEST_F(WholeExpressionText, EachImageAndScalarIsDeclaredOnce) {
    const BinaryOpTpl<ImgOps::add, SetLeaf, SetLeaf> same(lhs, lhs);
    same.evalString(true);
    std::string uniforms;
    same.getUniformDefinitionList(uniforms, {}, "");
    EXPECT_EQ(uniforms, "uniform sampler3D image0;\n");

    const BinaryOpTpl<ImgOps::mult, SetLeaf, Scalar<float>> scaled(lhs, Scalar<float>(2.0f));
    scaled.evalString(true);
    std::string declarations;
    scaled.rightOperand().getUniformDefinitionList(declarations, {}, "");
    EXPECT_EQ(declarations, "uniform float scalarf0;\n");
    std::string variables;
    scaled.getVariableDefinitionList(variables, {}, "");
    EXPECT_EQ(variables, "");
}

TEST(ScalarNaming, ScalarsOfOneWalkAreNumberedInWalkOrder) {
    const Scalar<float> a(1.0f), b(2.0f);
    internal::TagMap tags;
    internal::TypeCounterMap counters;
    a.tagAndAssignNames(tags, counters, "");
    b.tagAndAssignNames(tags, counters, "");
    EXPECT_EQ(a.evalString(false), "scalarf0");
    EXPECT_EQ(b.evalString(false), "scalarf1");
    EXPECT_TRUE(a.isDefiningInstance());
    EXPECT_TRUE(b.isDefiningInstance());
}

TEST(ScalarNaming, ASecondTaggingInTheSameWalkNeitherDeclaresNorSets) {
    const Scalar<float> a(1.5f);
    internal::TagMap tags;
    internal::TypeCounterMap counters;
    a.tagAndAssignNames(tags, counters, "");
    a.tagAndAssignNames(tags, counters, "");
    EXPECT_EQ(a.glName(), "scalarf0");
    EXPECT_FALSE(a.isDefiningInstance());
    std::string uniforms;
    a.getUniformDefinitionList(uniforms, {}, "");
    EXPECT_EQ(uniforms, "");
    GL::Program program;
    EXPECT_FALSE(a.setArguments(program, {}, ""));
    EXPECT_TRUE(program.floatArguments().empty());
}

TEST(ScalarNaming, ArgumentsReplaceOnlyTheLeadingTaggingPrefix) {
    struct Case {
        std::string taggedWith, givenPrefix, expected;
    };
    for (const Case& c : {Case{"a", "q", "qscalarf0"}, Case{"", "q", "qscalarf0"}, Case{"p", "", "scalarf0"},
                          Case{"s", "t", "tscalarf0"}}) {
        SCOPED_TRACE(c.taggedWith + " -> " + c.givenPrefix);
        const Scalar<float> s(2.5f);
        internal::tagAndAssignNamesHelper(s, c.taggedWith);
        GL::Program program;
        EXPECT_TRUE(s.setArguments(program, {}, c.givenPrefix));
        ASSERT_EQ(program.floatArguments().size(), 1u);
        EXPECT_EQ(program.floatArguments().begin()->first, c.expected);
        EXPECT_EQ(program.floatArguments().begin()->second, 2.5f);
    }
}

TEST(ScalarNaming, NodesSetTheArgumentsOfTheirScalars) {
    auto set = makeSet(describe(PixelType::Float));
    const BinaryOpTpl<ImgOps::minus, SetLeaf, Scalar<float>> node(defaultLeaf<SetLeaf>(*set),
                                                                  Scalar<float>(-3.0f));
    internal::tagAndAssignNamesHelper(node, "a");
    GL::Program program;
    EXPECT_TRUE(node.setArguments(program, {}, "q"));
    EXPECT_EQ(program.floatArguments(), (std::map<std::string, float>{{"qscalarf0", -3.0f}}));
}

TEST(AssignGlHook, DeclinesUntilReplacedAndSeesTargetAndExpression) {
    auto set = makeSet(describe(PixelType::Float));
    ImageLeaf destination = defaultLeaf<ImageLeaf>(*set->get(0));
    const auto expr =
        BinaryOpTpl<ImgOps::add, SetLeaf, Scalar<float>>(defaultLeaf<SetLeaf>(*set), Scalar<float>(1.0f))
            .convertToSharedImgExpr(0);
    EXPECT_FALSE(destination.assignGl(expr));

    const internal::GlExprInterface* seenTarget = nullptr;
    const internal::GlExprInterface* seenExpr = nullptr;
    internal::setAssignGlHook([&](internal::GlExprInterface& target, const internal::GlExprInterface& e) {
        seenTarget = &target;
        seenExpr = &e;
        return true;
    });
    EXPECT_TRUE(destination.assignGl(expr));
    internal::setAssignGlHook(nullptr);
    EXPECT_EQ(seenTarget, static_cast<const internal::GlExprInterface*>(&destination));
    EXPECT_EQ(seenExpr, static_cast<const internal::GlExprInterface*>(&expr));
    EXPECT_FALSE(destination.assignGl(expr));
}

}  // namespace
}  // namespace testing
}  // namespace ImageMath
}  // namespace Korvanta
