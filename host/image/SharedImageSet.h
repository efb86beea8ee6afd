#pragma once

#include <memory>
#include <vector>

#include "host/image/Data.h"
#include "host/image/Selection.h"
#include "host/image/SharedImage.h"

namespace Korvanta {

// An ordered set of images. Index -1 names the default image, the one that stands for the whole set
// (the first image; none when the set is empty).
class SharedImageSet : public Data {
public:
    enum CloneFlags { CloneDefault = 0 };

    SharedImageSet() = default;

    Kind kind() const override { return ImageSet; }
    Modality modality() const override { return m_modality; }
    // std::invalid_argument, naming the value, for one that is no Modality.
    virtual void setModality(Modality modality);

    virtual int size() const;                      // the image count
    void add(std::shared_ptr<SharedImage> image);  // std::invalid_argument for an empty pointer

    SharedImage* get(int index = -1) const;  // null when out of range
    std::shared_ptr<SharedImage> getShared(int index = -1) const;
    MemImage* img(int index = -1) const;  // CPU memory of the image, or null

    Selection selection() const { return m_selection; }
    void setSelection(Selection selection) { m_selection = std::move(selection); }

    // Deep copy: every image's CPU memory, the selection and the modality.
    std::unique_ptr<SharedImageSet> clone(int flags = CloneDefault) const;

private:
    std::vector<std::shared_ptr<SharedImage>> m_images;
    Selection m_selection;
    Modality m_modality = NoModality;
};

}  // namespace Korvanta
