// DontFillGenerator: "Don't fill it". The column keeps what it holds: a new record the database's
// default, an updated record its old value.
#pragma once

#include "fill/generators/column_generator.h"

namespace rowsmith {

class DontFillGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    void Write() override {}
};

}  // namespace rowsmith
