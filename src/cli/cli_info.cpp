// lumatra-cli info: loads each file, evaluates it and prints what it found.
#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/file_check.h"
#include "cli/cli_commands.h"
#include "cli/cli_json.h"
#include "model/lum32.h"
#include "photometry/beam_angles.h"
#include "support/cp1252.h"

namespace lumatra {

namespace {

struct InfoOptions {
  bool json = false;
  bool matrix = false;
  std::vector<std::string> files;
};

Json LampSetsJson(const TLUM32& rec) {
  Json sets = Json::array();
  for (int k = 0; k < rec.NumLampSets && k < 5; ++k) {
    const LampSetData& set = rec.LampSet[k];
    sets.push_back({{"num_lamps", rec.LampCount(static_cast<std::size_t>(k))},
                    {"lamp_type", TextJson(set.LampType.view())},
                    {"total_flux", +set.TotalFlux},
                    {"wattage", +set.Wattage}});
  }
  return sets;
}

// An angle that a plane may not have (no crossing): null then.
Json AngleJson(const std::optional<double>& angle) {
  return angle ? Json(*angle) : Json(nullptr);
}

Json MatrixJson(const TLUM32& rec) {
  Json planes = Json::array();
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    Json plane = Json::array();
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      plane.push_back(rec.GetIntensity(i, j));
    planes.push_back(std::move(plane));
  }
  return planes;
}

std::vector<double> DirectRatiosAsWritten(const TLUM32& rec) {
  std::vector<double> v;
  for (float dr : rec.DirectRatio)
    v.push_back(rec.LOR * 100 == 0 ? 0.0 : dr / (10.0 * static_cast<double>(rec.LOR)));
  return v;
}

Json InfoJson(const std::string& file, const TLUM32& rec, bool loaded, const std::string& error,
              bool with_matrix) {
  Json o;
  o["file"] = PathJson(file);
  o["loaded"] = loaded;
  if (!loaded) {
    o["error"] = TextJson(error);
    return o;
  }
  const MainPlaneBeams beams = BeamAndFieldAngles(rec);
  o["format_code"] = +rec.FileFormat;
  o["absolute_photometry"] = rec.AbsolutePhotometry != 0;
  o["phot_system"] = +rec.PhotSystem;
  o["symmetry"] = +rec.Symmetry;
  o["grid_flags"] = +rec.GridFlags;
  o["num_planes"] = +rec.NumPlanes;
  o["num_gammas"] = +rec.NumGammas;
  o["c_first"] = +rec.CFirst;
  o["c_step"] = +rec.CStep;
  o["c_last"] = +rec.CLast;
  o["g_first"] = +rec.GFirst;
  o["g_step"] = +rec.GStep;
  o["g_last"] = +rec.GLast;
  o["lum_flux"] = +rec.LumFlux;
  o["up_flux"] = +rec.UpFlux;
  o["down_flux"] = +rec.DownFlux;
  o["dff"] = +rec.DFF;
  o["lor"] = +rec.LOR;
  o["light_dir"] = +rec.LightDir;
  o["peak_intensity"] = +rec.PeakIntensity;
  o["peak_c"] = +rec.PeakC;
  o["peak_gamma"] = +rec.PeakGamma;
  o["beam_angle_c0_c180"] = AngleJson(beams.c0_c180.beam);
  o["beam_angle_c90_c270"] = AngleJson(beams.c90_c270.beam);
  o["field_angle_c0_c180"] = AngleJson(beams.c0_c180.field);
  o["field_angle_c90_c270"] = AngleJson(beams.c90_c270.field);
  o["zone_flux"] = std::vector<double>(rec.ZoneFlux, rec.ZoneFlux + 36);
  o["direct_ratios"] = DirectRatiosAsWritten(rec);
  o["lamp_sets"] = LampSetsJson(rec);
  o["company"] = TextJson(rec.Company.view());
  o["lum_name"] = TextJson(rec.LumName.view());
  o["lum_number"] = TextJson(rec.LumNumber.view());
  if (with_matrix) {
    std::vector<double> c, g;
    for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
      c.push_back(rec.GetCAngle(i));
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      g.push_back(rec.GetGamma(j));
    o["c_angles"] = c;
    o["gamma_angles"] = g;
    o["intensities"] = MatrixJson(rec);
  }
  return o;
}

void PrintText(std::ostream& out, const std::string& file, const TLUM32& rec) {
  const MainPlaneBeams beams = BeamAndFieldAngles(rec);
  out << file << "\n"
      << "  format code " << int{rec.FileFormat} << ", photometric system " << int{rec.PhotSystem}
      << ", symmetry " << int{rec.Symmetry} << "\n"
      << "  " << rec.NumPlanes << " planes C" << rec.CFirst << ".." << rec.CLast << " step "
      << rec.CStep << ", " << rec.NumGammas << " gammas " << rec.GFirst << ".." << rec.GLast
      << " step " << rec.GStep << "\n"
      << "  flux " << rec.LumFlux << " lm/klm (up " << rec.UpFlux << ", down " << rec.DownFlux
      << "), DFF " << rec.DFF << ", LOR " << rec.LOR << " %\n"
      << "  peak " << rec.PeakIntensity << " cd/klm at C" << rec.PeakC << " gamma " << rec.PeakGamma
      << "\n"
      << "  beam angle C0-C180 " << SpreadText(beams.c0_c180.beam) << ", C90-C270 "
      << SpreadText(beams.c90_c270.beam) << "; field angle C0-C180 "
      << SpreadText(beams.c0_c180.field) << ", C90-C270 " << SpreadText(beams.c90_c270.field)
      << "\n"
      << "  company: " << Cp1252ToUtf8(rec.Company.view()) << "\n"
      << "  luminaire: " << Cp1252ToUtf8(rec.LumName.view()) << " / "
      << Cp1252ToUtf8(rec.LumNumber.view()) << "\n";
}

void RunInfo(const InfoOptions& opt, CliStreams& io) {
  for (const std::string& file : opt.files) {
    TLUM32 rec;
    const bool loaded = LoadEvaluated(rec, file);
    const std::string& error = rec.ReadError;
    if (!loaded) io.status = 1;
    if (opt.json) {
      io.out << JsonLine(InfoJson(file, rec, loaded, error, opt.matrix));
    } else if (loaded) {
      PrintText(io.out, file, rec);
    } else {
      io.err << file << ": " << error << "\n";
    }
  }
}

}  // namespace

void AddInfoCommand(CLI::App& app, CliStreams& io) {
  auto opt = std::make_shared<InfoOptions>();
  CLI::App* cmd = app.add_subcommand("info", "load photometric files and print what they hold");
  cmd->add_flag("--json", opt->json, "one JSON object per file per line");
  cmd->add_flag("--matrix", opt->matrix, "with --json: also the angles and the intensity table");
  cmd->add_option("files", opt->files, "photometric files")->required();
  cmd->callback([opt, &io] { RunInfo(*opt, io); });
}

}  // namespace lumatra
