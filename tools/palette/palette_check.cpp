#include "palette_check.h"

#include <set>

#include "game/figure.h"
#include "game/glass.h"

namespace zt {
namespace {

constexpr double kFigureColoursApart = 20;
constexpr double kGlassColoursApart = 8;
constexpr int kDraws = 5000;  // enough that even the rarest figure of the fullest Redara pool comes up

std::set<int32_t> FiguresChosen(int32_t gameType, int32_t redaraRows) {
  Random random;
  random.Seed(17);
  TFigure next;
  std::set<int32_t> figures;
  for (int draw = 0; draw < kDraws; ++draw) {
    ChooseNext(next, gameType, redaraRows, random);
    figures.insert(next.Color);
  }
  return figures;
}

ColourSet SetOf(std::string name, const std::set<int32_t>& colours, double needed) {
  return {std::move(name), {colours.begin(), colours.end()}, needed};
}

Rgb ColourOf(const BrickTint& tint) { return {tint.R, tint.G, tint.B}; }

}  // namespace

std::vector<ColourSet> CheckedColourSets() {
  constexpr int kClassicRows = 7;  // the Redara rows of one figure each: its standard seven
  std::vector<ColourSet> sets = {
      SetOf("Torvane's seven", FiguresChosen(kTorvane, kClassicRows), kFigureColoursApart),
      SetOf("Redara's seven", FiguresChosen(kRedara, kClassicRows), kFigureColoursApart),
      SetOf("Vodoza's seven", FiguresChosen(kVodoza, kClassicRows), kFigureColoursApart),
      SetOf("Kids' seven", FiguresChosen(kKids, kClassicRows), kFigureColoursApart),
      SetOf("Retro's seven", FiguresChosen(kRetro, kClassicRows), kFigureColoursApart),
      SetOf("Redara's whole pool", FiguresChosen(kRedara, kFigureTableRows), kGlassColoursApart),
  };
  std::set<int32_t> retroGlass = FiguresChosen(kRetro, kClassicRows);
  retroGlass.insert(kAddedLineColor);
  sets.push_back(SetOf("Retro with added lines", retroGlass, kGlassColoursApart));
  return sets;
}

std::vector<SetMeasure> MeasurePalette(const BrickTints& tints) {
  std::vector<SetMeasure> measures;
  for (ColourSet& set : CheckedColourSets()) {
    std::vector<Rgb> colours;
    for (int32_t colour : set.Colours) colours.push_back(ColourOf(tints[static_cast<size_t>(colour - 1)]));
    SetMeasure measure{std::move(set), {}};
    for (size_t v = 0; v < kVisions.size(); ++v) {
      const ClosestPair closest = ClosestPairOf(colours, kVisions[v]);
      measure.Closest[v] = {closest.DeltaE, static_cast<size_t>(measure.Set.Colours[closest.First]),
                            static_cast<size_t>(measure.Set.Colours[closest.Second])};
    }
    measures.push_back(std::move(measure));
  }
  return measures;
}

}  // namespace zt
