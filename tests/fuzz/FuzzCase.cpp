#include "tests/fuzz/FuzzCase.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "host/core/Log.h"
#include "host/image/PixelTypeUtils.h"
#include "plugin/ImageMathAlgorithmFactory.h"
#include "tests/fuzz/FuzzInputs.h"

namespace Korvanta {
namespace fuzz {

namespace {

[[noreturn]] void fail(const char* what, const char* detail = "") {
    std::fprintf(stderr, "fuzz case failed: %s %s\n", what, detail);
    std::abort();
}

// The algorithm's factory, as the host holds it. Messages are still composed (that code runs too) but
// not printed, so a long run keeps its output for failures.
const AlgorithmFactory::Descriptor& arithmeticDescriptor() {
    static const ImageMathAlgorithmFactory factory = [] {
        Log::setSink([](const Log::Record&) {});
        return ImageMathAlgorithmFactory();
    }();
    const AlgorithmFactory::Descriptor* descriptor =
        factory.algorithmDescriptor("ImageMath.SharedImageArithmetic");
    if (!descriptor)
        fail("the factory does not register the algorithm");
    return *descriptor;
}

// The newest content of every image of a set, as CPU memory (null where there is none).
using Snapshot = std::vector<std::unique_ptr<SharedImage>>;

Snapshot snapshot(const SharedImageSet& set) {
    Snapshot images;
    for (int i = 0; i < set.size(); ++i)
        images.push_back(set.get(i)->clone());
    return images;
}

bool sameMemory(const MemImage* a, const MemImage* b) {
    if (!a || !b)
        return a == b;
    bool same = false;
    const bool typed = Utils::visitElementType(a->descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        const auto* x = dynamic_cast<const TypedImage<T>*>(a);
        const auto* y = dynamic_cast<const TypedImage<T>*>(b);
        // Bit for bit, so NaN payloads count; empty buffers may have no address at all.
        same = x && y && x->size() == y->size() &&
               (x->size() == 0 || std::memcmp(x->pointer(), y->pointer(),
                                              static_cast<std::size_t>(x->size()) * sizeof(T)) == 0);
    });
    return typed && same;
}

// Whether the images of the set hold what the snapshot holds, all of them or only the unselected ones.
bool unchanged(const SharedImageSet& set, const Snapshot& before, bool onlyUnselected) {
    if (static_cast<std::size_t>(set.size()) != before.size())
        return false;
    const Selection selection = set.selection();
    for (int i = 0; i < set.size(); ++i) {
        if (onlyUnselected && selection.isSelected(i, Selection::EmptyMeansAll))
            continue;
        if (!sameMemory(set.get(i)->clone()->mem(), before[static_cast<std::size_t>(i)]->mem()))
            return false;
    }
    return true;
}

void checkSucceeded(Algorithm& algorithm, const SharedImageSet& first, const Snapshot& before, bool inPlace) {
    if (algorithm.status() != Algorithm::Success)
        fail("compute returned without success status");
    OwningDataList output = algorithm.takeOutput();
    if (output.size() != (inPlace ? 0 : 1))
        fail("wrong output count");
    const auto* destination = inPlace ? &first : dynamic_cast<const SharedImageSet*>(output.get(0));
    if (!destination || destination->size() != first.size())
        fail("the destination does not hold one image per image of the first set");
    if (!inPlace && !unchanged(first, before, false))
        fail("computing into a clone changed the first set");
    if (!unchanged(*destination, before, true))
        fail("an unselected image changed");
}

void checkRejected(Algorithm& algorithm, const FuzzInputs& inputs, const std::vector<Snapshot>& before) {
    if (algorithm.status() != Algorithm::Failed)
        fail("a rejected compute did not leave the failed status");
    for (std::size_t s = 0; s < inputs.sets.size(); ++s)
        if (!unchanged(*inputs.sets[s], before[s], false))
            fail("a rejected compute changed an image");
    if (algorithm.takeOutput().size() != 0)
        fail("a rejected compute left an output");
}

bool configuredInPlace(const Algorithm& algorithm) {
    Properties configured;
    algorithm.configuration(&configured);
    bool inPlace = false;
    configured.param("inPlace", inPlace);
    return inPlace;
}

// Computes and checks the outcome; a successful compute's output is checked only when it is taken.
FuzzOutcome computeAndCheck(Algorithm& algorithm, const FuzzInputs& inputs, bool takeOutput) {
    std::vector<Snapshot> before;
    for (const auto& set : inputs.sets)
        before.push_back(snapshot(*set));
    const bool inPlace = configuredInPlace(algorithm);
    try {
        algorithm.compute();
    } catch (const std::invalid_argument&) {
        checkRejected(algorithm, inputs, before);
        return FuzzOutcome::Rejected;
    }
    if (takeOutput)
        checkSucceeded(algorithm, *inputs.sets[0], before[0], inPlace);
    else if (algorithm.status() != Algorithm::Success)
        fail("compute returned without success status");
    return FuzzOutcome::Computed;
}

FuzzOutcome run(FuzzInputs& inputs) {
    const AlgorithmFactory::Descriptor& descriptor = arithmeticDescriptor();
    const bool compatible = descriptor.compatible(inputs.data);
    std::unique_ptr<Algorithm> algorithm(descriptor.create(inputs.data));
    if (compatible != (algorithm != nullptr))
        fail("the compatibility test and the create function disagree");
    if (!algorithm)
        return FuzzOutcome::NotCreated;
    algorithm->configure(inputs.configureWithNull ? nullptr : &inputs.parameters);
    const FuzzOutcome first = computeAndCheck(*algorithm, inputs, inputs.takeFirstOutput);
    // Again with other settings, "inPlace" switched unless the second record sets it: whatever the first
    // compute left must not show in the second's outcome.
    Properties& second = inputs.secondParameters;
    bool inPlace = false;
    if (!second.param("inPlace", inPlace))
        second.setParam("inPlace", !configuredInPlace(*algorithm));
    algorithm->configure(&second);
    return std::max(first, computeAndCheck(*algorithm, inputs, true));
}

}  // namespace

FuzzOutcome runFuzzCase(const std::uint8_t* data, std::size_t size) {
    FuzzBytes in(data, size);
    FuzzInputs inputs = decodeInputs(in);
    try {
        return run(inputs);
    } catch (const std::invalid_argument&) {
        // Creating or configuring may reject the input too.
        return FuzzOutcome::Rejected;
    } catch (const std::exception& e) {
        fail("unexpected exception:", e.what());
    } catch (...) {
        fail("unexpected exception of a type not derived from std::exception");
    }
}

}  // namespace fuzz
}  // namespace Korvanta
