#pragma once

#include <functional>
#include <vector>

#include "host/image/Selection.h"
#include "host/image/SharedImageSet.h"
#include "host/threading/ThreadPool.h"
#include "imagemath/AssignmentPool.h"
#include "imagemath/Expressions.h"
#include "imagemath/ImageAssignment.h"
#include "imagemath/OperandProbe.h"
#include "imagemath/OperandSnapshots.h"
#include "imagemath/WrittenImages.h"
#include "imagemath/kernels/CoreBudget.h"

// The Set-level assignment: a Set-level expression into every selected image of the destination set,
// in index order. An image whose destination already lives on the GPU, and whose expression the GPU
// can evaluate, is assigned at once on this thread; every other image is probed (OperandProbe.h),
// synchronised and becomes one task on the host's dispatcher. The call returns when every image is written,
// and rethrows the first failure of a task. In place, the result is that of an assignment into other images
// (see OperandSnapshots.h), and an image at several indices is written by the last of them (see
// WrittenImages.h).
namespace Korvanta {
namespace ImageMath {
namespace internal {

template <class E>
bool takesGpuPath(const Array<SharedImage, void, false>& destination, const E& imageExpr) {
    if (destination.deviceStrategy() == kCpuOnly) {
        return false;
    }
    const bool resident = destination.storage()->hasGl() != nullptr;
    const std::int32_t strategy = imageExpr.deviceStrategy();
    return strategy == kGpuAlways || (strategy == kGpuWhenResident && resident);
}

}  // namespace internal

template <class T>
template <class E>
Array<SharedImageSet, T, false>& Array<SharedImageSet, T, false>::operator=(const ExprBaseTpl<E>& base) {
    const E& expr = base.derived();
    if (!m_storage) {
        return *this;
    }
    SharedImageSet& set = *m_storage;
    const int count = set.size();
    const Selection selection = set.selection();
    std::vector<internal::WrittenImage> written;
    for (int i = 0; i < count; ++i) {
        if (selection.isSelected(i, Selection::EmptyMeansAll)) {
            written.push_back(internal::WrittenImage{i, set.get(set.size() == 1 ? 0 : i)});
        }
    }
    internal::keepLastWriterOfEachImage(written);
    // Before any image is written, the GPU-path ones on this thread included. Outlives the pool, whose
    // tasks read the copies.
    const internal::OperandSnapshots snapshots(written, expr);
    // Every image counts as a task about to start until its task begins, so the first tasks leave the
    // later ones their cores. Outlives the pool, whose tasks report to it.
    internal::AnnouncedTasks announced(written.size());
    internal::AssignmentPool pool;
    for (const internal::WrittenImage& target : written) {
        Array<SharedImage, void, false> destination(target.image, m_settings);
        const auto imageExpr = snapshots.imageExpression(expr, target.index);
        if (internal::takesGpuPath(destination, imageExpr)) {
            announced.withdrawOne();
            destination = imageExpr;
            continue;
        }
        internal::probeOperandMemory(*target.image, imageExpr);
        target.image->syncMem();
        const std::function<void()> task = [destination, imageExpr, &announced]() mutable {
            announced.run([&] { destination = imageExpr; });
        };
        internal::dispatchThread(task, pool.pointer());
    }
    pool.finish();
    return *this;
}

}  // namespace ImageMath
}  // namespace Korvanta
