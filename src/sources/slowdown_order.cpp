#include "sources/slowdown_order.h"

#include "sources/slowdown_form.h"
#include "sources/text_file.h"

namespace scenario {

std::vector<std::string> slowdown_order_entries() {
  LineTable t;
  add_slowdown_form(t, "Orvale_Tresca", "417", {});
  return t.entries();
}

void dati_rallentamenti(Folder& folder, const RunNames& names) {
  write_text_file(folder, names.slowdown_order(), slowdown_order_entries());
}

}  // namespace scenario
