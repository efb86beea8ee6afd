#include "tests/fuzz/FuzzInputs.h"

#include <climits>
#include <cstring>
#include <string>

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace fuzz {

namespace {

// The nine codes with CPU memory, then codes the host may hold but nothing computes.
PixelType pixelType(FuzzBytes& in) {
    return static_cast<PixelType>(in.pick<int>(
        {0x1400, 0x1401, 0x1402, 0x1403, 0x1404, 0x1405, 0x1406, 0x140A, 0x140B, 0x1407, 0x140C, 0, -1}));
}

void decodeExtents(FuzzBytes& in, ImageDescriptor& d) {
    d.width = in.inRange(0, 8);
    d.height = in.inRange(0, 8);
    d.slices = in.inRange(0, 10);
    d.channels = in.inRange(1, 6);
}

void decodeShiftAndScale(FuzzBytes& in, ImageDescriptor& d) {
    d.shift = in.special<double>();
    d.scale = in.special<double>();
}

ImageDescriptor decodeDescriptor(FuzzBytes& in) {
    ImageDescriptor d;
    d.pixelType = pixelType(in);
    decodeExtents(in, d);
    decodeShiftAndScale(in, d);
    return d;
}

// Every element from a 16-byte pattern of raw bits, so floating-point memory holds NaN, infinities and
// denormals as often as plain numbers.
void fillMemory(FuzzBytes& in, MemImage& memory) {
    unsigned char pattern[16];
    for (unsigned char& b : pattern)
        b = in.byte();
    Utils::visitElementType(memory.descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        auto& typed = dynamic_cast<TypedImage<T>&>(memory);
        constexpr std::int64_t perPattern = sizeof(pattern) / sizeof(T);
        for (std::int64_t i = 0; i < typed.size(); ++i)
            std::memcpy(typed.pointer() + i, pattern + (i % perPattern) * sizeof(T), sizeof(T));
    });
}

// The CPU memory of an image: matching it, none, or of another element type or extent.
std::shared_ptr<MemImage> decodeMemory(FuzzBytes& in, const ImageDescriptor& image, int kind) {
    ImageDescriptor d = image;
    if (kind == 1)
        return nullptr;
    if (kind == 2)
        d.pixelType = pixelType(in);
    if (kind == 3)
        decodeExtents(in, d);
    if (!Utils::isKnownPixelType(d.pixelType))
        return nullptr;
    std::shared_ptr<MemImage> memory = MemImage::create(d);
    fillMemory(in, *memory);
    return memory;
}

std::shared_ptr<SharedImage> decodeImage(FuzzBytes& in, const ImageDescriptor& base) {
    const std::uint8_t how = in.byte();
    ImageDescriptor d = base;
    if (how & 1)
        d = decodeDescriptor(in);
    else if (how & 2)
        decodeShiftAndScale(in, d);
    auto image = std::make_shared<SharedImage>(d, decodeMemory(in, d, (how >> 2) & 3));
    // A GPU copy, and one that is newer than the CPU memory, which the drivers must download first.
    if ((how & 16) && (image->mem() || Utils::isKnownPixelType(d.pixelType))) {
        image->uploadGl();
        if (how & 32)
            image->setDirtyGl();
    }
    return image;
}

Selection decodeSelection(FuzzBytes& in) {
    std::vector<int> indices(static_cast<std::size_t>(in.inRange(0, 4)));
    for (int& index : indices)
        index = in.inRange(-2, 5);
    return Selection(std::move(indices));
}

// Images of one base descriptor (so that sets are often compatible), each possibly its own.
std::unique_ptr<SharedImageSet> decodeSet(FuzzBytes& in, const ImageDescriptor& base) {
    auto set = std::make_unique<SharedImageSet>();
    const int count = in.inRange(0, 4);
    for (int i = 0; i < count; ++i)
        set->add(decodeImage(in, base));
    if (in.flag())
        set->setSelection(decodeSelection(in));
    return set;
}

std::vector<unsigned long> decodeChannelIndices(FuzzBytes& in) {
    std::vector<unsigned long> indices(static_cast<std::size_t>(in.inRange(0, 8)));
    for (unsigned long& index : indices)
        index = in.pick<unsigned long>({0, 1, 2, 3, 4, 5, 6, ULONG_MAX, 1ul << 32});
    return indices;
}

// Each parameter present or not; "mode" also as a value of the wrong type, which must be ignored.
Properties decodeParameters(FuzzBytes& in) {
    Properties p;
    const std::uint8_t present = in.byte();
    if (present & 1)
        p.setParam("mode", in.pick<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, -1, INT_MIN, INT_MAX}));
    if (present & 2)
        p.setParam("inPlace", in.flag());
    if (present & 4)
        p.setParam("rightHandSide", in.special<float>());
    if (present & 8)
        p.setParam("channelIndices", decodeChannelIndices(in));
    if (present & 16)
        p.setParam("mode", std::string("BinaryAdd"));
    if (present & 32)
        p.setParam("evalString", std::string("x"));
    return p;
}

}  // namespace

FuzzInputs decodeInputs(FuzzBytes& in) {
    FuzzInputs inputs;
    const ImageDescriptor firstBase = decodeDescriptor(in);
    inputs.sets.push_back(decodeSet(in, firstBase));
    const ImageDescriptor secondBase = in.flag() ? firstBase : decodeDescriptor(in);
    inputs.sets.push_back(decodeSet(in, secondBase));
    // One set, two, the first set twice, none, or three.
    switch (in.inRange(0, 4)) {
        case 0:
            inputs.data = {inputs.sets[0].get()};
            break;
        case 1:
            inputs.data = {inputs.sets[0].get(), inputs.sets[1].get()};
            break;
        case 2:
            inputs.data = {inputs.sets[0].get(), inputs.sets[0].get()};
            break;
        case 3:
            break;
        default:
            inputs.data = {inputs.sets[0].get(), inputs.sets[1].get(), inputs.sets[0].get()};
    }
    inputs.parameters = decodeParameters(in);
    inputs.configureWithNull = in.flag();
    inputs.secondParameters = decodeParameters(in);
    inputs.takeFirstOutput = in.flag();
    return inputs;
}

}  // namespace fuzz
}  // namespace Korvanta
