#pragma once

#include <memory>
#include <mutex>

#include "host/image/ImageDescriptor.h"
#include "host/image/MemImage.h"

namespace Korvanta {

// Simulated GPU copy of an image (there is no GPU here): a snapshot of the CPU memory.
struct GlImage {
    std::shared_ptr<MemImage> texture;
};

// An image that may live in CPU memory, on the GPU, or both. All members are safe to call from
// several threads at once.
//
// The GPU side is simulated: a GPU copy is a snapshot of the CPU memory. At most one side is newer
// than the other: uploadGl() makes both agree, setDirtyGl() makes the GPU copy newer (a GPU
// evaluation wrote it), setDirtyMem() makes the CPU memory newer and discards the now stale GPU copy.
class SharedImage {
public:
    // Allocates zeroed CPU memory for the descriptor (see MemImage::create).
    explicit SharedImage(const ImageDescriptor& descriptor);
    // Adopts the given CPU memory, which may be empty (an image without CPU memory) or of another
    // element type than the descriptor names (tests use this to build inconsistent images).
    SharedImage(const ImageDescriptor& descriptor, std::shared_ptr<MemImage> memory);

    ImageDescriptor descriptor() const;

    MemImage* mem();                        // current CPU memory, null when there is none
    std::shared_ptr<MemImage> sharedMem();  // the same, sharing ownership
    // Makes the CPU memory current: a newer GPU copy is copied into the existing buffer (element
    // pointers taken earlier stay valid), or becomes the CPU memory when there is none.
    void syncMem() const;
    void setDirtyMem();                      // the CPU memory was written: a GPU copy is stale now
    std::shared_ptr<GlImage> hasGl() const;  // the GPU copy, empty when there is none

    // Simulation of the GPU side, for tests and tools.
    void uploadGl();    // makes a GPU copy from the CPU memory (a zeroed one, and newer, when there is none)
    void setDirtyGl();  // the GPU copy was written: the CPU memory is stale until syncMem()
    void dropGl();
    void setMem(std::shared_ptr<MemImage> memory);  // replaces the CPU memory; a GPU copy is dropped
    int syncCount() const;                          // how often syncMem() was called
    int downloadCount() const;                      // how often syncMem() copied a newer GPU copy down
    int dirtyCount() const;                         // how often setDirtyMem() was called

    // Deep copy of the newest content (the GPU copy when it is newer) as CPU memory; no GPU copy.
    std::unique_ptr<SharedImage> clone() const;

private:
    mutable std::mutex m_mutex;
    ImageDescriptor m_descriptor;
    mutable std::shared_ptr<MemImage> m_mem;
    std::shared_ptr<GlImage> m_gl;
    mutable bool m_glNewer = false;
    mutable int m_syncCount = 0;
    mutable int m_downloadCount = 0;
    int m_dirtyCount = 0;
};

}  // namespace Korvanta
