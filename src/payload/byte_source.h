#pragma once
// What an extraction reads the payload from: its bytes in order, which can be
// read again from the start.

#include <cstddef>

namespace payload {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Copies up to size of the next bytes into bytes and returns how many: 0
    // at the end, and once reading has failed.
    virtual std::size_t read(char* bytes, std::size_t size) = 0;
    // Whether reading failed, rather than reaching the end.
    virtual bool failed() const = 0;
    // Goes back to the first byte; false when the source cannot.
    virtual bool rewind() = 0;

protected:
    ByteSource() = default;
    ByteSource(const ByteSource&) = default;
    ByteSource& operator=(const ByteSource&) = default;
};

} // namespace payload
