#include "capture_fixture.h"
#include "outputs/day_output_files.h"
#include "outputs/frm_aviso.h"

namespace {

// The buttons write what the operator has just saved and give the focus back. Another
// delegation's records of the day stay out of both files; a quote is written twice and a line
// break typed or pasted into the observation never reaches the file.
TEST_F(CaptureScreen, TheOutputsHoldTheDelegationsRecordsInWholeLines) {
  sql("DELETE FROM Reg_Pre");
  sql("INSERT INTO Reg_Pre (Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, Cve_pres, "
      "Pre_min, Obs) VALUES (12, 'FRU', #2006/7/21#, 1, 7, 20, 1, 50, 'de otra delegación')");
  capture::Captura& c = start("Frutas y Hortalizas");
  outputs::DayOutputFiles outputs(host, *state);
  c.useOutputs(outputs);
  c.type(c.TextObs, "llegó poca,\r\ncalidad \"buena\"\n");
  EXPECT_EQ(c.TextObs.text, "llegó poca, calidad \"buena\" ");
  typePrices("100", "120", "110");
  c.click(c.CmdGrabar);

  std::string notice;
  host.answerNext<outputs::frmAviso>([&](outputs::frmAviso& aviso) {
    notice = aviso.lblArc.caption + " " + aviso.lblCant.caption;
    aviso.click(aviso.cmdOK);
  });
  c.focus(c.TextObs);
  c.click(c.CmdGenera);
  EXPECT_EQ(notice, "5FRU.csv 1");
  EXPECT_EQ(c.focused(), &c.TextObs) << "back where the operator was";
  const std::string exported = testing_support::fileContents(folder.path() / "5FRU.csv");
  EXPECT_NE(exported.find(" poca, calidad \"buena\" \","), std::string::npos) << exported;
  EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 1) << exported;
  c.click(c.CmdReporte);
  EXPECT_EQ(host.openedDocuments, std::vector{folder.path() / "Reporte.htm"});
  EXPECT_EQ(c.focused(), &c.TextObs);
  const std::string report = testing_support::fileContents(folder.path() / "Reporte.htm");
  EXPECT_EQ(report.find("otra delegaci"), std::string::npos);
  EXPECT_EQ(exported.find("otra delegaci"), std::string::npos);
}

}  // namespace
