#include "compiler/code_meanings.h"

namespace scenario {

std::string_view code_meaning(std::int32_t code) {
  switch (code) {
    case 1:
      return "route length over 1000000 m";
    case 2:
      return "kilometric progressive: position or distance not a multiple of 50 m";
    case 3:
      return "signal repetition start not a multiple of 50 m";
    case 4:
      return "signal repetition end not a multiple of 50 m";
    case 5:
      return "signal repetition keyword names neither 4 nor 9 codes";
    case 6:
      return "direction board refused: its cell is taken or outside the grid";
    case 7:
      return "abbattimento point refused: its cell is taken or outside the grid";
    case 8:
      return "station position not a multiple of 50 m";
    case 9:
      return "station platform length not a multiple of 100 m";
    case 10:
      return "no parameter slot left: stations and direction boards share 78 slots";
    case 11:
      return "no free cell for the abbattimento point of a signal before a slowdown warning";
    case 12:
      return "no free cell for an abbattimento point before a slowdown start";
    case 13:
      return "no free cell for an abbattimento point in a slowdown or at the first signal after it";
    case 15:
      return "position beyond the end of the line; the rest of this file is not read";
    case 16:
      return "signal refused: its cell is taken or outside the grid";
    case 17:
      return "slowdown refused: its warning board cell (1200 m before) is taken or outside the grid";
    case 18:
      return "slowdown refused: its start cell is taken or outside the grid";
    case 19:
      return "slowdown refused: its end cell is taken or outside the grid";
    case 20:
      return "slowdown countdown refused: a cell of the four before the warning board is taken";
    case 21:
      return "speed board refused: its cell is taken or outside the grid";
    case 22:
      return "station area starts less than 350 m after the previous station's area";
    case 24:
      return "station stop cell outside the grid (area ends at 100 m or less, or past the grid)";
    case 25:
      return "record could not be read";
    case 101:
      return "line file not found";
    case 102:
      return "line file has no [generale] section";
    case 103:
      return "curve refused: no class digit 1 to 6 in its keyword, or it runs past the track plan";
    case 1250:
      return "an object in the first 25 m (grid cell 1) takes the field of the fixed stamp 5121";
    case 1251:
      return "an object in the first 25 m (grid cell 1) takes the field of the first scenario code";
    default:
      return "unknown code";
  }
}

std::string_view warning_name(WarningKind kind) {
  switch (kind) {
    case WarningKind::unknown_keyword:
      return "unknown-keyword";
    case WarningKind::unread_numbers:
      return "unread-numbers";
    case WarningKind::unknown_section:
      return "unknown-section";
    case WarningKind::unread_last_field:
      return "unread-last-field";
    case WarningKind::no_generale:
      return "no-generale";
    case WarningKind::utf8_bom:
      return "utf8-bom";
    case WarningKind::utf8_text:
      return "utf8-text";
  }
  return "warning";
}

}  // namespace scenario
