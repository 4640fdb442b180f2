#include "run/form_load.h"

#include "sources/line_data.h"
#include "sources/train_data.h"

namespace scenario {

void Form1::Form_Load() {
  names_ = RunNames{kRouteName, kTrainName};
  dati_linea(folder_, names_);
  dati_treno(folder_, names_);
}

}  // namespace scenario
