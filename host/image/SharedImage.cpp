#include "host/image/SharedImage.h"

#include <algorithm>
#include <stdexcept>

#include "host/core/HostCallTrace.h"
#include "host/image/PixelTypeUtils.h"

namespace Korvanta {

namespace {

// Copies the elements of `from` into the buffer of `to` when both are typed buffers of the same
// element type and size; returns false otherwise, copying nothing.
bool copyElements(const MemImage& from, MemImage& to) {
    bool copied = false;
    Utils::visitElementType(to.descriptor().pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        const auto* source = dynamic_cast<const TypedImage<T>*>(&from);
        auto* target = dynamic_cast<TypedImage<T>*>(&to);
        if (source != nullptr && target != nullptr && source->size() == target->size()) {
            std::copy(source->pointer(), source->pointer() + source->size(), target->pointer());
            copied = true;
        }
    });
    return copied;
}

}  // namespace

SharedImage::SharedImage(const ImageDescriptor& descriptor)
    : m_descriptor(descriptor), m_mem(MemImage::create(descriptor)) {}

SharedImage::SharedImage(const ImageDescriptor& descriptor, std::shared_ptr<MemImage> memory)
    : m_descriptor(descriptor), m_mem(std::move(memory)) {}

ImageDescriptor SharedImage::descriptor() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_descriptor;
}

MemImage* SharedImage::mem() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mem.get();
}

std::shared_ptr<MemImage> SharedImage::sharedMem() {
    HostCallTrace::record(HostCallTrace::Call::SharedMem, this);
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mem;
}

void SharedImage::syncMem() const {
    HostCallTrace::record(HostCallTrace::Call::SyncMem, this);
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_syncCount;
    if (!m_glNewer || !m_gl || !m_gl->texture) {
        return;
    }
    if (!m_mem || !copyElements(*m_gl->texture, *m_mem)) {
        m_mem = m_gl->texture->clone();
    }
    m_glNewer = false;
    ++m_downloadCount;
}

void SharedImage::setDirtyMem() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_dirtyCount;
    m_gl.reset();
    m_glNewer = false;
}

std::shared_ptr<GlImage> SharedImage::hasGl() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_gl;
}

void SharedImage::uploadGl() {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto gl = std::make_shared<GlImage>();
    if (m_mem) {
        gl->texture = m_mem->clone();
        m_glNewer = false;
    } else {
        gl->texture = MemImage::create(m_descriptor);
        m_glNewer = true;
    }
    m_gl = std::move(gl);
}

void SharedImage::setDirtyGl() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_gl) {
        throw std::logic_error("SharedImage::setDirtyGl: the image has no GPU copy");
    }
    m_glNewer = true;
}

void SharedImage::dropGl() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_gl.reset();
    m_glNewer = false;
}

void SharedImage::setMem(std::shared_ptr<MemImage> memory) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mem = std::move(memory);
    m_gl.reset();
    m_glNewer = false;
}

int SharedImage::syncCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_syncCount;
}

int SharedImage::downloadCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_downloadCount;
}

int SharedImage::dirtyCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dirtyCount;
}

std::unique_ptr<SharedImage> SharedImage::clone() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool fromGl = m_glNewer && m_gl && m_gl->texture;
    const MemImage* newest = fromGl ? m_gl->texture.get() : m_mem.get();
    std::shared_ptr<MemImage> copy = newest ? newest->clone() : nullptr;
    return std::make_unique<SharedImage>(m_descriptor, std::move(copy));
}

}  // namespace Korvanta
