// Reads the product file and compares its name with this product's.
#include "launcher/product_check.h"

#include "text/ini_text_lookup.h"
#include "text/text_string.h"

namespace {

constexpr char kProductFile[] = "script\\product.ini";
constexpr char kProductSection[] = "製品情報";
constexpr char kProductKey[] = "name";
constexpr char kProductName[] = "HarborLanternFete";

}  // namespace

bool IsThisProduct(OCArchive& archive) {
  if (archive.Open(kProductFile, OCArchive::ModeRead) == 0) {
    return false;  // the archive's own dialog has already told the user
  }
  TextString section;
  TextString text;
  TextString value;
  archive.ReadWhole(text);
  section.Assign(kProductSection);
  value.Clear();
  IniTextLookup(section.data, kProductKey, value, text);
  // A missing key leaves value without storage, which compares unequal.
  return value.CompareNoCase(kProductName) == 0;
}
