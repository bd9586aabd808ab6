// TFFList: a table's column settings in order; entry i describes column i of the bound table.
#pragma once

#include "model/fill_field.h"
#include "model/owning_list.h"

namespace rowsmith {

class TFFList : public OwningList<TFillField> {};

}  // namespace rowsmith
