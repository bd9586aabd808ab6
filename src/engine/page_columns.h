// PageColumns: the columns, by index, that a driver's page reads bring (TableDriver::ReadColumns):
// every one until a walk asks for fewer, and always those the driver reads the key from.
#pragma once

#include <cstddef>
#include <vector>

namespace rowsmith {

class PageColumns {
public:
    PageColumns(std::size_t count, std::vector<std::size_t> keyColumns);

    // Takes the columns `asked` flags (empty: every one) and the key columns. True when a column
    // is read now that was not before: records read ahead of this lack it.
    bool Ask(const std::vector<bool>& asked);

    const std::vector<std::size_t>& All() const { return all_; }
    const std::vector<std::size_t>& Read() const { return read_; }
    // Whether page reads leave a column out.
    bool Narrow() const { return read_.size() < all_.size(); }

private:
    std::vector<std::size_t> all_;
    std::vector<std::size_t> keyColumns_;
    std::vector<std::size_t> read_;
};

}  // namespace rowsmith
