// TFFList: a table's column settings in order; once the table is bound, entry i describes column i
// of the bound table, and the entries past its last column are settings whose column is gone.
#pragma once

#include "model/fill_field.h"
#include "model/owning_list.h"

namespace rowsmith {

class TFFList : public OwningList<TFillField> {};

}  // namespace rowsmith
