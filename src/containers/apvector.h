#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>

#include "containers/index_failure.h"

namespace quorvex {

// A growable one-dimensional array that knows its length and checks every
// index. Value semantics: copying copies every element, no storage is shared.
//
// Contracts:
// - Valid indexes are 0 to length() - 1; any other index ends the process
//   through failIndex("vector", index, length() - 1). No access path skips it.
// - resize obtains fresh storage on every call, even to the current length:
//   references obtained earlier by indexing are stale afterwards.
// - Elements created by construction or resize are value-initialised (0 for
//   numbers, empty for vectors), so no cell ever holds an unpredictable value.
// - A negative length throws std::length_error and leaves the vector as it
//   was; running out of memory throws std::bad_alloc, likewise leaving it as
//   it was.
template <class T> class apvector {
  public:
    apvector() = default;

    explicit apvector(std::int32_t length) : length_(checkedLength(length)), storage_(allocate(length)) {}

    apvector(const apvector& source) : length_(source.length_), storage_(allocate(source.length_)) {
        copyPrefix(source, length_);
    }

    // Assigning a vector to itself changes nothing. Otherwise the target
    // becomes an element-by-element copy of the source; the new storage is
    // filled before the old is released.
    apvector& operator=(const apvector& source) {
        if (&source == this)
            return *this;
        apvector copy(source);
        swap(copy);
        return *this;
    }

    ~apvector() = default;

    std::int32_t length() const { return length_; }

    // 1. keep = min(n, length).  2. Fresh storage for n elements.
    // 3. Copy elements 0..keep-1 in index order.  4. Release the old storage.
    // 5. The length becomes n.
    void resize(std::int32_t n) {
        apvector resized(n);
        resized.copyPrefix(*this, n < length_ ? n : length_);
        swap(resized);
    }

    T& operator[](std::int32_t k) {
        if (k < 0 || k >= length_) [[unlikely]]
            failIndex("vector", k, length_ - 1);
        return storage_[k];
    }

    const T& operator[](std::int32_t k) const {
        if (k < 0 || k >= length_) [[unlikely]]
            failIndex("vector", k, length_ - 1);
        return storage_[k];
    }

    void swap(apvector& other) noexcept {
        std::swap(length_, other.length_);
        std::swap(storage_, other.storage_);
    }

  private:
    static std::int32_t checkedLength(std::int32_t length) {
        if (length < 0)
            throw std::length_error("apvector: negative length");
        return length;
    }

    // A vector of length 0 holds no storage at all.
    static std::unique_ptr<T[]> allocate(std::int32_t length) {
        if (checkedLength(length) == 0)
            return nullptr;
        return std::unique_ptr<T[]>(new T[static_cast<std::size_t>(length)]());
    }

    void copyPrefix(const apvector& source, std::int32_t count) {
        for (std::int32_t k = 0; k < count; ++k)
            storage_[k] = source.storage_[k];
    }

    std::int32_t length_ = 0;
    std::unique_ptr<T[]> storage_;
};

} // namespace quorvex
