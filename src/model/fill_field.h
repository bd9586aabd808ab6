// TFillField: the fill settings of one column of a scenario table. The derived state (the value
// set of a random-from-set column) is kept in step with the settings by SetFillMethod and
// SetFillValue, the only ways to change them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rowsmith {

class TFillField {
public:
    explicit TFillField(std::string fieldName);

    const std::string& FieldName() const { return fieldName_; }
    std::int32_t FillMethod() const { return fillMethod_; }
    const std::string& FillValue() const { return fillValue_; }
    std::int32_t Counter() const { return counter_; }
    // The items of FillValue while the method is fmRandomFromSet; never stored in a file.
    const std::vector<std::string>& ValueSet() const { return valueSet_; }
    // The percentage of records that get NULL instead of the method's value, as text ("12.5");
    // empty for none. Kept as written, so the check can name a share it refuses and a file gets
    // back what it held.
    const std::string& NullShare() const { return nullShare_; }
    void SetNullShare(const std::string& text) { nullShare_ = text; }
    // Whether the column's values never repeat within a fill.
    bool Unique() const { return unique_; }
    void SetUnique(bool unique) { unique_ = unique; }

    // Choosing the method it already has changes nothing; another method resets FillValue
    // ("10" for a random string, empty otherwise).
    void SetFillMethod(std::int32_t code);
    void SetFillValue(const std::string& text);

    // Gives Counter and then adds 1 to it.
    std::int32_t NextCounter();
    // Back to 1, for an autoincrement column only.
    void ResetCounter();

private:
    std::string fieldName_;
    std::int32_t fillMethod_ = 0;
    std::string fillValue_;
    std::int32_t counter_ = 1;
    std::string nullShare_;
    bool unique_ = false;
    std::vector<std::string> valueSet_;
};

}  // namespace rowsmith
