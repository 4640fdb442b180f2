#include "tools/lsp/record_schema.h"

#include "sources/text_format.h"

namespace scenario::tool::lsp {
namespace {

constexpr bool cs = true;

constexpr Word kLunghezza[] = {{"percorso"}, {"lunghezza"}};
constexpr Word kProgressivaTre[] = {{"tre", cs}, {"progressiva", cs}};
constexpr Word kProgressivaDue[] = {{"due", cs}, {"progressiva", cs}};
constexpr Word kProgressivaUno[] = {{"uno", cs}, {"progressiva", cs}};
constexpr Word kSfondoUno[] = {{"sfondo", cs}, {"uno", cs}};
constexpr Word kSfondoDue[] = {{"sfondo", cs}, {"due", cs}};
constexpr Word kSfondoTre[] = {{"sfondo", cs}, {"tre", cs}};
constexpr Word kRipetizione[] = {{"segnali", cs}, {"ripetizione", cs}};

constexpr FieldInfo kLengthFields[] = {
    {"lunghezza", "route length: sizes the track grid (length + 7000 m, in 50 m cells) and the track plan", "m",
     Width::i32, "at most 1000000 (code 1)", CellRule::none}};
constexpr FieldInfo kProgressiveFields[] = {
    {"posizione", "where the kilometric progressive changes", "m", Width::i32, "a multiple of 50 (code 2)",
     CellRule::point},
    {"distanza", "the second distance", "m", Width::i32, "a multiple of 50 (code 2)", CellRule::none},
    {"flag", "1 adds 100 m to the second distance", "", Width::i32, "", CellRule::none}};
constexpr FieldInfo kSfondoFields[] = {
    {"sfondo", "background setting, stored unchanged", "", Width::i32, "", CellRule::none}};
constexpr FieldInfo kRipetizioneFields[] = {{"inizio", "start of the stretch with signal repetition", "m", Width::i32,
                                             "a multiple of 50 (code 3)", CellRule::point},
                                            {"fine", "end of the stretch with signal repetition; 0: the line has none",
                                             "m", Width::i32, "a multiple of 50 (code 4)", CellRule::point}};

constexpr RecordInfo kLineGeneral[] = {
    {Part::line_general, "lunghezza percorso", "the route length; must be present", kLunghezza, kLengthFields},
    {Part::line_general, "progressiva chilometrica tre", "a kilometric progressive record", kProgressivaTre,
     kProgressiveFields},
    {Part::line_general, "progressiva chilometrica due", "a kilometric progressive record", kProgressivaDue,
     kProgressiveFields},
    {Part::line_general, "progressiva chilometrica uno", "a kilometric progressive record", kProgressivaUno,
     kProgressiveFields},
    {Part::line_general, "sfondo uno", "a background setting", kSfondoUno, kSfondoFields},
    {Part::line_general, "sfondo due", "a background setting", kSfondoDue, kSfondoFields},
    {Part::line_general, "sfondo tre", "a background setting", kSfondoTre, kSfondoFields},
    {Part::line_general, "ripetizione segnali 9 codici",
     "signal repetition: the keyword's digit 4 or 9 is the number of codes (code 5 without one)", kRipetizione,
     kRipetizioneFields},
};

constexpr Word kPendenza[] = {{"pendenza"}};
constexpr Word kCurva[] = {{"curva"}};
constexpr Word kMontagna[] = {{"montagna"}};
constexpr Word kIndicatoriV[] = {{"indicatori_v"}};
constexpr Word kCartello[] = {{"indicat"}, {"cartello"}};

constexpr FieldInfo kPendenzaFields[] = {
    {"posizione", "where the gradient starts; it holds up to the next gradient record", "m", Width::i32,
     "ascending; (p + 100) / 50 within the grid (code 15)", CellRule::point},
    {"pendenza", "gradient, stored as gradient + 100 in every cell", "\u2030", Width::i32, "-100 to 155",
     CellRule::none}};
constexpr FieldInfo kCurvaFields[] = {
    {"inizio", "start of the curve; \"s\" in the keyword turns left, the lowest digit 1 to 6 is the class", "m",
     Width::i32, "ascending; within the grid (code 15)", CellRule::point},
    {"lunghezza", "length of the curve", "m", Width::i32, "must end inside the track plan (code 103)", CellRule::none}};
constexpr FieldInfo kMontagnaFields[] = {
    {"inizio", "start of the tunnel", "m", Width::i32, "within the grid (code 15)", CellRule::cell_below},
    {"fine", "end of the tunnel", "m", Width::i32, "", CellRule::tunnel_end},
    {"tipo",
     "tunnel type; above 10: type - 10 with tunnel marks every fourth cell; type 3 when it starts at "
     "most 150 m after the previous tunnel's end",
     "", Width::i32, "", CellRule::none}};
constexpr FieldInfo kIndicatoriFields[] = {
    {"posizione", "position of the speed board", "m", Width::i32, "its cell must be free (code 21)", CellRule::point},
    {"vas", "speed; with vad, the cell's first value vad / 5 + vas \u00d7 20", "km/h", Width::i32, "", CellRule::none},
    {"vbs", "speed; with vbd, the cell's second value vbd / 5 + vbs \u00d7 20", "km/h", Width::i32, "", CellRule::none},
    {"vcs", "speed; with vcd, the cell's third value vcd / 5 + vcs \u00d7 20", "km/h", Width::i32, "", CellRule::none},
    {"strisces", "stripes; with strisced, the cell's fourth value strisces \u00d7 10 + strisced", "", Width::i16, "",
     CellRule::none},
    {"vad", "speed; see vas", "km/h", Width::i32, "", CellRule::none},
    {"vbd", "speed; see vbs", "km/h", Width::i32, "", CellRule::none},
    {"vcd", "speed; see vcs", "km/h", Width::i32, "", CellRule::none},
    {"strisced", "stripes; see strisces", "", Width::i16, "", CellRule::none}};
constexpr FieldInfo kCartelloFields[] = {{"posizione", "position of the direction board", "m", Width::i32,
                                          "its cell must be free (code 6)", CellRule::point},
                                         {"testo", "the board's text, stored unchanged, e.g. (Bivio     )(Sparvenzia)",
                                          "", Width::text, "", CellRule::none}};

constexpr RecordInfo kLineRecords[] = {
    {Part::line_records, "pendenza", "a gradient from its position on", kPendenza, kPendenzaFields, false},
    {Part::line_records, "curvad4", "a curve: \"curvas\" to the left, \"curvad\" to the right, class digit 1 to 6",
     kCurva, kCurvaFields, false},
    {Part::line_records, "montagna", "a tunnel", kMontagna, kMontagnaFields, false},
    {Part::line_records, "indicatori_vmax", "a speed-indicator board", kIndicatoriV, kIndicatoriFields, true},
    {Part::line_records, "cartello_indicatore", "a direction board", kCartello, kCartelloFields, true},
};

constexpr Word kFrenata[] = {{"frenata"}, {"massa"}};
constexpr Word kVetture[] = {{"vetture"}};
constexpr Word kVelocita[] = {{"velocit"}};
constexpr Word kAderenza[] = {{"aderenza"}};
constexpr Word kOrologio[] = {{"orologio"}};
constexpr Word kSabbia[] = {{"sabbia"}};
constexpr Word kSegnale[] = {{"segnale"}};
constexpr Word kRallentamento[] = {{"rallentamento"}};
constexpr Word kAbbattimento[] = {{"abbattimento"}};
constexpr Word kStazione[] = {{"stazione"}};

constexpr FieldInfo kFrenataFields[] = {{"percentuale", "braked-mass percentage", "%", Width::i32, "", CellRule::none}};
constexpr FieldInfo kVettureFields[] = {{"vetture", "number of coaches", "", Width::i32, "", CellRule::none}};
constexpr FieldInfo kVelocitaFields[] = {
    {"posizione", "where the speed limit starts; it holds up to the next speed record", "m", Width::i32,
     "ascending; within the grid (code 15)", CellRule::point},
    {"velocita", "maximum speed, kept in steps of 5 km/h (rounded, ties to even)", "km/h", Width::i32, "at most 1277",
     CellRule::none}};
constexpr FieldInfo kAderenzaFields[] = {
    {"posizione", "where the adhesion starts; it holds up to the next adhesion record", "m", Width::i32,
     "ascending; within the grid (code 15)", CellRule::point},
    {"aderenza", "adhesion value; only its low 8 bits are stored", "", Width::i32, "", CellRule::none}};
constexpr FieldInfo kOrologioFields[] = {
    {"ore", "clock at the start of the run: hours", "h", Width::i16, "", CellRule::none},
    {"minuti", "clock at the start of the run: minutes", "min", Width::i16, "", CellRule::none},
    {"secondi", "clock at the start of the run: seconds", "s", Width::i16, "", CellRule::none}};
constexpr FieldInfo kSabbiaFields[] = {{"sabbia", "sand setting", "", Width::i16, "", CellRule::none}};
constexpr FieldInfo kSegnaleFields[] = {
    {"posizione", "position of the signal", "m", Width::i32, "its cell must be free (code 16)", CellRule::point},
    {"sx", "with dx, the cell's fourth value rapp \u00d7 10 + sx \u00d7 3 + dx; sx 2 keeps tempo in the cell", "",
     Width::i32, "", CellRule::none},
    {"s1", "with d1, the cell's first value s1 \u00d7 10 + d1", "", Width::i16, "", CellRule::none},
    {"s2", "with d2, the cell's second value s2 \u00d7 10 + d2", "", Width::i16, "", CellRule::none},
    {"s3", "with d3, the cell's third value s3 \u00d7 10 + d3", "", Width::i16, "", CellRule::none},
    {"rapp", "the cell's fourth value rapp \u00d7 10 + sx \u00d7 3 + dx", "", Width::i16, "", CellRule::none},
    {"dx", "see sx; also the approach codes (sx \u00d7 3 + dx) \u00d7 10 + k written 100 to 400 m before", "",
     Width::i32, "", CellRule::none},
    {"d1", "see s1", "", Width::i16, "", CellRule::none},
    {"d2", "see s2", "", Width::i16, "", CellRule::none},
    {"d3", "see s3", "", Width::i16, "", CellRule::none},
    {"tempo", "signal time, kept when sx is 2; 1 to 100 become 101", "", Width::i32, "", CellRule::none}};
constexpr FieldInfo kRallentamentoFields[] = {
    {"x", "start of the slowdown; its warning board stands 1200 m before (when x > 1500)", "m", Width::i32,
     "start, end and warning cells must be free (codes 17 to 19)", CellRule::point},
    {"v", "speed of the slowdown", "km/h", Width::i16, "", CellRule::none},
    {"l", "length of the slowdown", "m", Width::i32, "", CellRule::none},
    {"f_tt", "value carried into the start and end cells", "", Width::i16, "", CellRule::none},
    {"f_ta", "not 0: a countdown in the four cells before the warning board", "", Width::i32,
     "those cells must be free (code 20)", CellRule::none},
    {"d_v", "not 0: carried into the cells' second value", "", Width::i32, "", CellRule::none}};
constexpr FieldInfo kAbbattimentoFields[] = {
    {"posizione", "position of the abbattimento point", "m", Width::i32, "its cell must be free (code 7)",
     CellRule::cell_below},
    {"valore", "above 0: the point's value (low 16 bits); 0 or less: a point without value", "", Width::i32, "",
     CellRule::none}};
constexpr FieldInfo kStazioneFields[] = {
    {"at_m", "station position", "m", Width::i32, "a multiple of 50 (code 8); (p + 800) / 50 within the grid",
     CellRule::none},
    {"kind",
     "5, 6: before its position; 7, 8: platform on both sides; 25 and above: not on the grid; others: "
     "centred",
     "", Width::u8, "", CellRule::none},
    {"banchina", "platform length", "m", Width::i32, "a multiple of 100 (code 9)", CellRule::none},
    {"opt_a", "", "", Width::u8, "", CellRule::none},
    {"opt_e", "forced to 0 below 600 m of platform and for the first station", "", Width::u8, "", CellRule::none},
    {"opt_d", "not 0: 50 m more at the end of a centred station; 0 for kinds 5 to 8 and the first station", "",
     Width::u8, "", CellRule::none},
    {"num_a", "", "", Width::i16, "", CellRule::none},
    {"num_b", "", "", Width::i16, "", CellRule::none},
    {"opt_b", "", "", Width::u8, "", CellRule::none},
    {"num_c", "", "", Width::i16, "", CellRule::none},
    {"num_d", "", "", Width::i16, "", CellRule::none},
    {"num_e", "", "", Width::i16, "", CellRule::none},
    {"opt_c", "", "", Width::u8, "", CellRule::none},
    {"ore", "timetable: hours", "h", Width::i32, "", CellRule::none},
    {"minuti", "timetable: minutes", "min", Width::i32, "", CellRule::none},
    {"secondi", "timetable: seconds; time_s = (ore \u00d7 60 + minuti) \u00d7 60 + secondi", "s", Width::i32, "",
     CellRule::none},
    {"nome", "station name, to the end of the line (no comma)", "", Width::text, "", CellRule::none}};

constexpr RecordInfo kTrainRecords[] = {
    {Part::train, "percentuale massa frenata", "the braked-mass percentage", kFrenata, kFrenataFields},
    {Part::train, "numero vetture", "the number of coaches", kVetture, kVettureFields},
    {Part::train, "velocita", "a speed limit from its position on", kVelocita, kVelocitaFields},
    {Part::train, "aderenza", "an adhesion value from its position on", kAderenza, kAderenzaFields},
    {Part::train, "orologio", "the clock at the start of the run (values separated by blanks)", kOrologio,
     kOrologioFields},
    {Part::train, "sabbia", "the sand setting", kSabbia, kSabbiaFields},
    {Part::train, "segnale", "a signal", kSegnale, kSegnaleFields, true},
    {Part::train, "rallentamento", "a slowdown", kRallentamento, kRallentamentoFields, true},
    {Part::train, "abbattimento", "an abbattimento point", kAbbattimento, kAbbattimentoFields},
    {Part::train, "stazione", "a station with its timetable; stations in ascending position, 350 m apart", kStazione,
     kStazioneFields, true},
};

}  // namespace

std::span<const RecordInfo> records_of(Part part) {
  switch (part) {
    case Part::line_general:
      return kLineGeneral;
    case Part::line_records:
      return kLineRecords;
    case Part::train:
      return kTrainRecords;
  }
  return {};
}

bool matches(const RecordInfo& record, std::string_view field) {
  for (const Word& w : record.words)
    if (!contains_word(field, w.text, w.case_sensitive)) return false;
  return true;
}

}  // namespace scenario::tool::lsp
