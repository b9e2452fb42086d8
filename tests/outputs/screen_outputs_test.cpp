#include "capture_fixture.h"
#include "outputs/day_output_files.h"
#include "outputs/frm_aviso.h"

namespace {

// The buttons of the capture screen write what the operator has just saved.
TEST_F(CaptureScreen, TheScreensButtonsExportAndReportTheRecordsJustSaved) {
  sql("DELETE FROM Reg_Pre");
  addRow({.product = 1});
  capture::Captura& c = start("Frutas y Hortalizas");
  outputs::DayOutputFiles outputs(host, *state);
  c.useOutputs(outputs);
  c.type(c.TextObs, "Poca oferta");
  typePrices("100", "1,250.5", "110");
  c.click(c.CmdGrabar);

  std::string notice;
  host.answerNext<outputs::frmAviso>([&](outputs::frmAviso& aviso) {
    notice = aviso.lblArc.caption + " " + aviso.lblCant.caption;
    aviso.click(aviso.cmdOK);
  });
  c.click(c.CmdGenera);
  EXPECT_EQ(notice, state->gCveDel + "FRU.csv 1");
  const std::string line =
      testing_support::fileContents(folder.path() / (state->gCveDel + "FRU.csv"));
  EXPECT_TRUE(
      line.starts_with("\"FRU\",\"21/07/2006\",\"10\",\"1\",\"3\",\"1\",\"100\",\"1250.5\","
                       "\"110\",\"0\",\"Poca oferta\","))
      << line;

  c.click(c.CmdReporte);
  EXPECT_EQ(host.openedDocuments, std::vector{folder.path() / "Reporte.htm"});
}

}  // namespace
