// The order in which a compute asks the host for CPU memory, and on which thread: a host that creates or
// refreshes CPU memory lazily, or binds that work to the calling thread, depends on it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "host/core/HostCallTrace.h"
#include "host/gl/LeafGl.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"
#include "tests/plugin/ArithmeticReference.h"

namespace Korvanta {
namespace {

using Call = HostCallTrace::Call;
using test::descriptor;

struct Event {
    Call call;
    const void* object;

    bool operator==(const Event& other) const { return call == other.call && object == other.object; }
};

std::ostream& operator<<(std::ostream& out, const Event& event) {
    const char* names[] = {"sharedMem", "pointer", "syncMem", "dispatch"};
    return out << names[static_cast<int>(event.call)] << "(" << event.object << ")";
}

// The traced calls made on the thread that creates the recorder, while it lives.
class CallerEvents {
public:
    CallerEvents()
        : m_previous(HostCallTrace::setObserver([this](Call call, const void* object) {
              if (std::this_thread::get_id() != m_caller)
                  return;
              std::lock_guard<std::mutex> lock(m_mutex);
              m_events.push_back(Event{call, object});
          })) {}
    ~CallerEvents() { HostCallTrace::setObserver(m_previous); }

    std::vector<Event> events() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

private:
    const std::thread::id m_caller = std::this_thread::get_id();
    mutable std::mutex m_mutex;
    std::vector<Event> m_events;
    HostCallTrace::Observer m_previous;
};

// What the calling thread must see for one CPU-road image, in `block` (its events up to its dispatch): the
// operands' memory asked for (left, then right), each cast to its typed buffer, and only then the
// destination synchronised and the task handed over.
void expectProbedCpuRoad(const std::vector<Event>& block, SharedImage& destination, SharedImage& left,
                         SharedImage* right) {
    std::vector<Event> calls;
    std::set<const void*> buffers;
    bool synchronised = false;
    for (const Event& event : block) {
        if (event.call == Call::Pointer) {
            EXPECT_FALSE(synchronised) << "a buffer is asked for after syncMem()";
            buffers.insert(event.object);
        } else {
            synchronised = synchronised || event.call == Call::SyncMem;
            calls.push_back(event);
        }
    }
    std::vector<Event> expected{{Call::SharedMem, &left}};
    std::set<const void*> operandBuffers{left.mem()};
    if (right) {
        expected.push_back({Call::SharedMem, right});
        operandBuffers.insert(right->mem());
    }
    expected.push_back({Call::SyncMem, &destination});
    expected.push_back({Call::Dispatch, nullptr});
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(buffers, operandBuffers);
}

struct Kind {
    const char* name;
    PixelType destination;
    int channels;
    std::optional<PixelType> second;
    test::Settings run;
};

TEST(CallOrder, EveryCpuRoadImageIsProbedOnTheCallingThreadBeforeItIsSynchronisedAndDispatched) {
    const std::vector<Kind> kinds = {
        {"image set, int right", PixelType::UShort, 1, PixelType::Int, {0}},
        {"image set, float right", PixelType::Short, 2, PixelType::Float, {2}},
        {"image set, double right", PixelType::UByte, 1, PixelType::Double, {4}},
        {"scalar", PixelType::Float, 1, std::nullopt, {3}},
        {"unary", PixelType::Int, 1, std::nullopt, {5}},
        {"channel swizzle", PixelType::HFloat, 3, std::nullopt, {7, false, 1.0f, {2, 1, 0}}},
    };
    for (const Kind& kind : kinds) {
        for (const bool inPlace : {false, true}) {
            SCOPED_TRACE(::testing::Message() << kind.name << (inPlace ? ", in place" : ", into a clone"));
            auto first = test::makeSet(descriptor(kind.destination, 4, 3, 2, kind.channels), 2);
            auto second =
                kind.second ? test::makeSet(descriptor(*kind.second, 4, 3, 2, kind.channels), 2) : nullptr;
            test::Settings run = kind.run;
            run.inPlace = inPlace;
            SharedImageArithmeticAlgorithm algorithm(*first, second.get());
            const Properties record = test::record(run);
            algorithm.configure(&record);
            std::vector<Event> seen;
            {
                const CallerEvents caller;
                algorithm.compute();
                seen = caller.events();
            }
            OwningDataList output = algorithm.takeOutput();
            const SharedImageSet& destination =
                inPlace ? *first : dynamic_cast<SharedImageSet&>(*output.get(0));
            const auto firstDispatch =
                std::find(seen.begin(), seen.end(), Event{Call::Dispatch, nullptr}) - seen.begin() + 1;
            ASSERT_LT(firstDispatch, static_cast<long>(seen.size()));
            for (int k = 0; k < 2; ++k) {
                const std::vector<Event> block(seen.begin() + (k == 0 ? 0 : firstDispatch),
                                               k == 0 ? seen.begin() + firstDispatch : seen.end());
                expectProbedCpuRoad(block, *destination.get(k), *first->get(k),
                                    second ? second->get(k) : nullptr);
            }
        }
    }
}

TEST(CallOrder, GpuRoadImagesAndPixelTypesWithoutAnElementTypeAreNotProbed) {
    // Image 0 takes the GPU road (a GPU copy, which the GPU declines); image 1 names a pixel type
    // without an element type, its memory holding floats.
    auto first = test::makeSet(descriptor(PixelType::UByte, 4, 3, 2, 1), 1);
    first->get(0)->uploadGl();
    const ImageDescriptor odd = descriptor(static_cast<PixelType>(0x1407), 4, 3, 2, 1);
    first->add(
        std::make_shared<SharedImage>(odd, MemImage::create(descriptor(PixelType::Float, 4, 3, 2, 1))));
    const ImageMath::internal::AssignGlHook previous =
        ImageMath::internal::setAssignGlHook([](auto&, const auto&) { return false; });
    SharedImageArithmeticAlgorithm algorithm(*first, nullptr);
    const Properties record = test::record(test::Settings{0, true});
    algorithm.configure(&record);
    std::vector<Event> seen;
    {
        const CallerEvents caller;
        algorithm.compute();
        seen = caller.events();
    }
    ImageMath::internal::setAssignGlHook(previous);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), (Event{Call::SyncMem, first->get(0)}))
        << "the GPU road computes on the CPU unprobed";
    const std::vector<Event> last(seen.end() - 2, seen.end());
    EXPECT_EQ(last, (std::vector<Event>{{Call::SyncMem, first->get(1)}, {Call::Dispatch, nullptr}}));
    EXPECT_THAT(std::vector<Event>(seen.begin(), seen.end() - 2),
                ::testing::Not(::testing::Contains(Event{Call::SharedMem, first->get(1)})));
}

TEST(CallOrder, AnOperandWithNeitherMemoryNorGpuCopyIsRefusedBeforeAnythingIsAsked) {
    auto first = test::makeSet(descriptor(PixelType::UByte, 4, 3, 2, 1), 2);
    auto second = std::make_unique<SharedImageSet>();
    second->add(std::make_shared<SharedImage>(descriptor(PixelType::Float, 4, 3, 2, 1), nullptr));
    const std::vector<double> before = test::storedValues(*first->get(0));
    SharedImageArithmeticAlgorithm algorithm(*first, second.get());
    const Properties record = test::record(test::Settings{0, true});
    algorithm.configure(&record);
    const CallerEvents caller;
    EXPECT_THROW(algorithm.compute(), std::invalid_argument);
    EXPECT_TRUE(caller.events().empty());
    EXPECT_EQ(test::storedValues(*first->get(0)), before);
}

}  // namespace
}  // namespace Korvanta
