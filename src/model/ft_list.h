// TFTList: a scenario's tables in fill order.
#pragma once

#include "model/fill_table.h"
#include "model/owning_list.h"

namespace rowsmith {

class TFTList : public OwningList<TFillTable> {};

}  // namespace rowsmith
