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
    void syncMem() const;                   // makes the CPU memory current (downloads a newer GPU copy)
    void setDirtyMem();                     // the CPU memory was written: a GPU copy is stale now
    std::shared_ptr<GlImage> hasGl() const; // the GPU copy, empty when there is none

    // Simulation of the GPU side, for tests and tools.
    void uploadGl();                        // makes a GPU copy from the CPU memory
    void dropGl();
    void setMem(std::shared_ptr<MemImage> memory);
    int syncCount() const;                  // how often syncMem() was called
    int dirtyCount() const;                 // how often setDirtyMem() was called

    std::unique_ptr<SharedImage> clone() const;  // deep copy of the CPU memory, no GPU copy

private:
    mutable std::mutex m_mutex;
    ImageDescriptor m_descriptor;
    std::shared_ptr<MemImage> m_mem;
    std::shared_ptr<GlImage> m_gl;
    bool m_glNewer = false;
    mutable int m_syncCount = 0;
    int m_dirtyCount = 0;
};

}  // namespace Korvanta
