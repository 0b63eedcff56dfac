#pragma once
// Writes typed records as the launcher's RecordReader reads them; used by the
// project builder and by tests.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillet::project {

class RecordWriter {
public:
    void integer(int32_t value);
    // Throws std::invalid_argument for a text the format cannot hold: longer than
    // 65 535 bytes, or one whose scrambled form would contain a zero byte.
    void text(const std::string& value);
    const std::string& bytes() const { return out_; }

private:
    std::string out_;
};

}  // namespace quillet::project
