// The one-shot program: no arguments, the embedded scenario, every file
// beside the executable.
#include <cstdio>
#include <exception>

#include "run/errore.h"
#include "run/failures.h"
#include "run/form_load.h"
#include "run/platform.h"

int main() {
  using namespace scenario;
  try {
    auto folder = make_disk_folder(executable_folder());
    PleaseWait wait;
    Form1 form(*folder);
    form.Form_Load();
  } catch (const ErroreAbort& e) {
    errore(e.code());
  } catch (const RunFailure& e) {
    show_error_message(std::string("scenario: ") + e.what());
    return 2;
  } catch (const std::exception& e) {
    show_error_message(std::string("scenario: run-time failure: ") + e.what());
    return 2;
  }
  return 0;
}
