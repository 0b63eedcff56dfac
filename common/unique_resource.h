#pragma once
// One move-only owner for every kind of OS resource. The close function and the
// value that means "none" are template parameters, so that handles whose empty value
// is 0 and those whose empty value is -1 (INVALID_HANDLE_VALUE) get separate types
// and cannot be mixed up. Owners are never copyable: a copy would close twice.

#include <utility>

namespace quillet {

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return value_; }
    bool valid() const { return value_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }

    T release() {
        T value = value_;
        value_ = Traits::invalid();
        return value;
    }

    void reset(T value = Traits::invalid()) {
        T old = value_;
        value_ = value;
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    T value_ = Traits::invalid();
};

}  // namespace quillet
