#pragma once

#include <memory>
#include <vector>

namespace Korvanta {

class SharedImageSet;

// Base of everything the host hands to algorithms.
class Data {
public:
    enum Kind { Unknown = 0, ImageSet = 1 };
    // Any int converts to a Modality without undefined behaviour, so that a value read from outside can
    // be checked with isModality after the conversion too.
    enum Modality : int { NoModality = 0, Xray = 1, Ultrasound = 2, CT = 3, MRI = 4 };
    static bool isModality(int value) { return value >= NoModality && value <= MRI; }

    virtual ~Data() = default;
    virtual Kind kind() const { return Unknown; }
    virtual Modality modality() const { return NoModality; }
};

// Non-owning list of data, in order.
class DataList {
public:
    DataList() = default;
    DataList(std::initializer_list<Data*> items) : m_items(items) {}

    void add(Data* data) { m_items.push_back(data); }
    int size() const { return static_cast<int>(m_items.size()); }
    Data* get(int i) const { return m_items.at(static_cast<std::size_t>(i)); }
    const std::vector<Data*>& items() const { return m_items; }

    // The image sets of the list, in list order. Kind 0 and modality 0 mean "any".
    std::vector<SharedImageSet*> getImages(int kind = 0, int modality = 0) const;

private:
    std::vector<Data*> m_items;
};

// Owning list of data, as algorithms hand their output to the host.
class OwningDataList {
public:
    void add(std::unique_ptr<Data> data);  // an empty pointer is ignored
    int size() const { return static_cast<int>(m_items.size()); }
    Data* get(int i) const { return m_items.at(static_cast<std::size_t>(i)).get(); }
    std::unique_ptr<Data> take(int i);  // moves item i out of the list; std::out_of_range when there is none

private:
    std::vector<std::unique_ptr<Data>> m_items;
};

}  // namespace Korvanta
