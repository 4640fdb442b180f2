#include "run/form_load.h"

#include "compiler/compiler.h"
#include "sources/line_data.h"
#include "sources/notes_document.h"
#include "sources/slowdown_order.h"
#include "sources/train_data.h"
#include "sources/train_sheet.h"

namespace scenario {

void Form1::Form_Load() {
  names_ = RunNames{kRouteName, kTrainName};
  dati_linea(folder_, names_);
  dati_treno(folder_, names_);
  dati_note(folder_, names_);
  dati_rallentamenti(folder_, names_);
  dati_scheda(folder_, names_);
  compiler_.route_name = names_.route_name;
  compiler_.train_name = names_.train_name;
  std::int32_t full = 1;
  compiler_.memorizza_percorso(full);
}

}  // namespace scenario
