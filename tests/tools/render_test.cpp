// The rendered page: well-formed SVG that shows every station by name, and
// the features the picture is drawn from.
#include "tools/render.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "compiler/outputs.h"
#include "run/folder.h"
#include "run/form_load.h"
#include "tools/compile_session.h"
#include "xml_check.h"

namespace scenario::tool {
namespace {

CompiledScenario embedded(bool with_plan = true) {
  MemoryFolder folder;
  Form1 form(folder);
  form.Form_Load();
  CompiledScenario s;
  s.names = form.names();
  s.parameters = decode_parameter_file(folder.files().at(s.names.parameter_file()));
  s.grid = decode_grid_file(folder.files().at(s.names.grid_file()));
  if (with_plan) s.plan = decode_track_plan_file(folder.files().at(s.names.track_plan_file()));
  return s;
}

bool shows(const std::vector<std::string>& texts, const std::string& wanted) {
  return std::any_of(texts.begin(), texts.end(),
                     [&](const std::string& t) { return t.find(wanted) != std::string::npos; });
}

TEST(Render, FeaturesOfTheEmbeddedScenario) {
  const ScenarioFeatures f = extract_features(embedded());
  EXPECT_EQ(f.route_length, 155000);
  EXPECT_EQ(f.stations.size(), 25u);
  EXPECT_EQ(f.stations[1].name, "Nome Stazione");
  EXPECT_EQ(f.signals.size(), 39u);
  EXPECT_EQ(f.signals.front().at, 2050);
  EXPECT_EQ(f.speed_boards.size(), 31u);  // 32 boards, one under the stop mark at 31200 m
  EXPECT_EQ(f.direction_boards.size(), 2u);
  EXPECT_EQ(f.direction_boards[0].text, "(Bivio     )(Sparvenzia)");
  ASSERT_EQ(f.tunnels.size(), 10u);  // back-to-back tunnels differ in type, so none merge
  EXPECT_EQ(f.tunnels[0].from, 800);
  EXPECT_EQ(f.tunnels[0].to, 2750);
  ASSERT_FALSE(f.speed_kmh.empty());
  EXPECT_EQ(f.speed_kmh[0].value, 80);
  EXPECT_EQ(f.speed_kmh[0].to, 4250);
  const std::vector<int> gradients = [&] {
    std::vector<int> g;
    for (const Stretch& r : f.gradient) g.push_back(r.value);
    return g;
  }();
  EXPECT_EQ(gradients, (std::vector<int>{0, 6, 3, -7, 0}));
}

TEST(Render, EmbeddedScenarioIsWellFormedAndNamesEveryStation) {
  const CompiledScenario s = embedded();
  const std::string svg = render_svg(s);
  const auto xml = scenario::testing::check_xml(svg);
  ASSERT_EQ(xml.error, "");
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  for (int slot = 1; slot <= 25; ++slot) {
    const std::string& name = s.parameters[static_cast<std::size_t>(slot)].text;
    // Twice: in the plan view and in the profile.
    EXPECT_GE(std::count(xml.texts.begin(), xml.texts.end(), name) +
                  std::count_if(xml.texts.begin(), xml.texts.end(),
                                [&](const std::string& t) { return t.rfind(name, 0) == 0 && t != name; }),
              2)
        << name;
  }
  EXPECT_TRUE(shows(xml.texts, "End km 155+000"));
  EXPECT_TRUE(shows(xml.texts, "Start"));
}

TEST(Render, WithoutAPlanAndWithTextThatNeedsEscaping) {
  CompiledScenario s = embedded(false);
  s.parameters[1].text = "Bivio <Nord> & \"Sud\" \xe8";  // Windows-1252 e grave
  s.names.train_name = "R&D";
  const auto xml = scenario::testing::check_xml(render_svg(s));
  ASSERT_EQ(xml.error, "");
  EXPECT_TRUE(shows(xml.texts, "Bivio <Nord> & \"Sud\" \u00e8"));
  EXPECT_TRUE(shows(xml.texts, "No track plan file"));
}

TEST(Render, TinyGridDoesNotBreakThePage) {
  CompiledScenario s;
  s.names = {"A", "B"};
  s.grid.resize(2);
  const auto xml = scenario::testing::check_xml(render_svg(s));
  EXPECT_EQ(xml.error, "");
}

TEST(Render, FromAnInMemoryCompileTheSameDrawingAsFromTheFiles) {
  MemoryFolder folder;
  Form1 form(folder);
  form.Form_Load();
  CompileOutcome outcome;
  outcome.names = form.names();
  for (const std::string& name :
       {outcome.names.track_plan_file(), outcome.names.parameter_file(), outcome.names.grid_file()})
    outcome.binaries.emplace_back(name, folder.files().at(name));
  EXPECT_EQ(render_svg(compiled_from(outcome)), render_svg(embedded()));

  outcome.binaries.erase(outcome.binaries.begin());  // no track plan: drawn without a plan view
  EXPECT_EQ(render_svg(compiled_from(outcome)), render_svg(embedded(false)));
  outcome.binaries.pop_back();  // no grid: a fatal end made no binaries
  EXPECT_THROW(compiled_from(outcome), InputError);
}

TEST(Render, MarksOverBothViewsOnePerGroupWithItsId) {
  const CompiledScenario s = embedded();
  const std::string svg = render_svg(s, {{"diagnostic-0", 47500, "error 16: <refused>"}, {"diagnostic-2", 999999, ""}});
  const auto xml = scenario::testing::check_xml(svg);
  ASSERT_EQ(xml.error, "");
  const std::size_t at =
      svg.find("<g id=\"diagnostic-0\" class=\"diagnostic-mark\"><title>error 16: &lt;refused&gt;</title>");
  ASSERT_NE(at, std::string::npos);
  const std::string group = svg.substr(at, svg.find("</g>", at) - at);
  EXPECT_NE(group.find("<circle"), std::string::npos) << "on the plan";
  EXPECT_NE(group.find("<rect"), std::string::npos) << "across the profile";
  EXPECT_NE(svg.find("<g id=\"diagnostic-2\" class=\"diagnostic-mark\">"), std::string::npos) << "past the end";
  // Without a plan view the mark is on the profile alone.
  const auto flat = scenario::testing::check_xml(render_svg(embedded(false), {{"d", 100, "x"}}));
  EXPECT_EQ(flat.error, "");
}

}  // namespace
}  // namespace scenario::tool
