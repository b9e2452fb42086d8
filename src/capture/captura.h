#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "capture/day_basket.h"
#include "capture/price_record.h"
#include "capture/record_list.h"
#include "forms/form.h"
#include "session/day_outputs.h"
#include "session/hand_over.h"
#include "session/session_state.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/value.h"
#include "text/dates.h"

namespace capture {

// The capture screen, the program's main window. It exists once for the whole run; its
// load opens the access screen first and then prepares the lists, the basket and the
// layout of the chosen module. Its handlers live in captura_*.cpp by concern: layout,
// modules, start, lists, basket, navigation, keyboard, saving, undo, typed work, price aids.
class Captura : public forms::Form, public session::CaptureHandOver {
 public:
  Captura(forms::Host& host, session::SessionState& state);

  // What the access screen hands over.
  void showCaptureScreen(bool shown) override { visible = shown; }
  void showDelegation(const std::string& name) override { LabelDel.caption = name; }
  void showModuleAndDate(const std::string& module, const std::string& date) override;

  // Where the report and export buttons send their work; the program wires it at start.
  void useOutputs(session::DayOutputs& outputs) { outputs_ = &outputs; }

  forms::Picture Banner{*this, "Banner"};
  forms::Label LabelDel{*this, "LabelDel"};
  forms::Label LabelMod{*this, "LabelMod"};
  forms::ComboBox ComboMod{*this, "ComboMod"};
  forms::Label LabelFec{*this, "LabelFec"};
  forms::ComboBox ComboFec{*this, "ComboFec"};
  forms::Label Label3{*this, "Label3"};
  forms::Label LabelDest{*this, "LabelDest"};
  forms::ComboBox ComboDest{*this, "ComboDest"};
  forms::Label Label4{*this, "Label4"};
  forms::ComboBox ComboProd{*this, "ComboProd"};
  forms::Label Label5{*this, "Label5"};
  forms::ComboBox ComboPres{*this, "ComboPres"};
  forms::Label LblOri{*this, "LblOri"};
  forms::ComboBox ComboOri{*this, "ComboOri"};
  forms::ComboBox ComboIng{*this, "ComboIng"};
  forms::ComboBox ComboMun{*this, "ComboMun"};
  forms::Label LblFte{*this, "LblFte"};
  forms::ComboBox ComboFte{*this, "ComboFte"};
  forms::ComboBox ComboTrans{*this, "ComboTrans"};
  forms::Label LblMin{*this, "LblMin"};
  forms::Label LblMax{*this, "LblMax"};
  forms::Label LblFrec{*this, "LblFrec"};
  forms::Label LblUni{*this, "LblUni"};
  forms::Label LblVol{*this, "LblVol"};
  forms::TextBox TextMin{*this, "TextMin"};
  forms::TextBox TextMax{*this, "TextMax"};
  forms::TextBox TextFrec{*this, "TextFrec"};
  forms::TextBox TextUni{*this, "TextUni"};
  forms::TextBox TextVol{*this, "TextVol"};
  // Says, without stopping the operator, that a price box left does not hold a number.
  forms::Label LabelPriceNotice{*this, "LabelPriceNotice"};
  // What the start's purge did, told without taking the focus; it stays until a save.
  forms::Label LabelPurgeNews{*this, "LabelPurgeNews"};
  forms::LabelArray LabDiaAnt{*this, "LabDiaAnt", 5};
  forms::LabelArray LabMinAnt{*this, "LabMinAnt", 5};
  forms::LabelArray LabMaxAnt{*this, "LabMaxAnt", 5};
  forms::LabelArray LabFrecAnt{*this, "LabFrecAnt", 5};
  forms::LabelArray LabUniAnt{*this, "LabUniAnt", 5};
  forms::Label LblObs{*this, "LblObs"};
  forms::TextBox TextObs{*this, "TextObs"};
  forms::Label Label1{*this, "Label1"};
  forms::Label LblRegNum{*this, "LblRegNum"};
  forms::Label LblRegES{*this, "LblRegES"};
  forms::CommandButton cmdPrimero{*this, "cmdPrimero"};
  forms::CommandButton cmdAnterior{*this, "cmdAnterior"};
  forms::CommandButton cmdSiguiente{*this, "cmdSiguiente"};
  forms::CommandButton cmdUltimo{*this, "cmdUltimo"};
  forms::CommandButton CmdGrabar{*this, "CmdGrabar"};
  forms::CommandButton CmdBorrar{*this, "CmdBorrar"};
  forms::CommandButton CmdDeshacer{*this, "CmdDeshacer"};
  forms::CommandButton CmdReporte{*this, "CmdReporte"};
  forms::CommandButton CmdGenera{*this, "CmdGenera"};

  forms::MenuItem Archivo{*this, "Archivo", "&Archivo"};
  forms::MenuItem Reporte{Archivo, "Reporte", "&Reporte"};
  forms::MenuItem Generar{Archivo, "Generar", "&Generar"};
  forms::MenuItem Salir{Archivo, "Salir", "&Salir"};
  forms::MenuItem Selecciona{*this, "Selecciona", "&Selecciona"};
  forms::MenuItem Frutas{Selecciona, "Frutas", menuCaption("Frutas", 0)};
  forms::MenuItem Azucar{Selecciona, "Azucar", menuCaption("Azucar", 0)};
  forms::MenuItem Aceites{Selecciona, "Aceites", menuCaption("Aceites", 1)};
  forms::MenuItem Granos{Selecciona, "Granos", menuCaption("Granos", 0)};
  forms::MenuItem Flores{Selecciona, "Flores", menuCaption("Flores", 1)};
  forms::MenuItem Insumos{Selecciona, "Insumos", menuCaption("Insumos", 0)};
  forms::MenuItem Volumenes{Selecciona, "Volumenes", menuCaption("Volumenes", 0)};
  forms::MenuItem Anden{Selecciona, "Anden", menuCaption("Anden", 1)};
  forms::MenuItem Separador{Selecciona, "Separador", ""};
  forms::MenuItem SelDestino{Selecciona, "SelDestino", "&Destino"};
  forms::MenuItem SelFecha{Selecciona, "SelFecha", "F&echa"};
  forms::MenuItem Teclas{*this, "Teclas", "&Teclas"};

  // The day's basket for the module and destination on screen, and the keys of the records
  // already saved for them on the capture date.
  DayBasket basket;
  RecordList records;

  // Modules and layout.
  void Salir_Click();
  void Volumenes_Click();
  void LabelMod_Click();
  void ComboMod_Validate(bool& cancel);
  void CambiaModulo();

  // Day basket.
  void CargaCanasta();

  // Display and navigation.
  bool MuestraRegistro();
  void PreparaNuevo();
  void cmdPrimero_Click();
  void cmdAnterior_Click();
  void cmdSiguiente_Click();
  void cmdUltimo_Click();
  // Whether each navigation button has somewhere to go from the position on screen.
  bool canGoFirst() const;
  bool canGoBack() const;
  bool canGoOn() const;
  bool canGoLast() const;
  bool canUndoDelete() const;
  bool focusOutsideBoxes() const;

  // Saving and deleting.
  void CmdGrabar_Click();
  void CmdBorrar_Click();

  // Undoing the last delete, and the list of keys.
  void CmdDeshacer_Click();
  void Teclas_Click();

  // Outputs.
  void CmdReporte_Click();
  void CmdGenera_Click();

  // Price aids.
  void TextMin_GotFocus();
  void TextMin_LostFocus();
  void TextMax_LostFocus();
  void TextFrec_LostFocus();
  void TextVol_GotFocus();
  void TextUni_LostFocus();
  void TextVol_LostFocus();

  // Start and date.
  void LabelFec_Click();
  void ComboFec_Validate(bool& cancel);

  // Module-dependent lists and destination.
  void CargaListas();
  void LabelDest_Click();
  void SelDestino_Click();
  void ComboDest_Validate(bool& cancel);
  void ComboDest_LostFocus();

 protected:
  void Form_Load() override;
  void Form_KeyPress(int& key) override;
  void onCloseRequest() override;
  // The statements of one event share one connection, and a long event shows that the
  // program is working.
  void runEvent(const std::function<void()>& event) override;

 private:
  // The module's caption with its letter underlined: each item of "Selecciona" has its own.
  static std::string menuCaption(std::string_view item, std::size_t letter);
  void layOut();
  void returnFocusFrom(const forms::CommandButton& button);
  // A label that opens a list: the list takes the label's place and the focus, and its
  // Validate acts while `flag` is "S".
  void openListAtLabel(forms::Label& label, forms::ComboBox& list, std::string& flag);
  void wireHandlers();
  void bindKeys();
  // Which label names each list and box for a screen reader, as the module lays them out.
  void nameControls();
  void chooseModuleFromMenu(std::string_view code);
  void applyLayoutPhase1();
  void applyLayoutPhase2();
  void resetPriceBoxes();

  void fillModuleAndDateLists();
  void prepareScreen();
  void showInForce();
  std::string purgeOldRecords();
  void fillOrigins();
  void fillCatalogue(forms::ComboBox& list, const std::string& statement, int& count);
  void fillSugarMills();
  void alignPreviousPricesPanel();
  void showEntryPeriodDialog();

  // The basket and the day's saved records of the module and destination on screen.
  void loadDay();
  void loadBasket(std::int64_t destination, const text::Date& date);
  void loadSavedRecords(std::int64_t destination, const text::Date& date);
  // Sets gPosCanasta to the basket entry the new position gRegNum offers.
  void offerBasketEntry();

  // The record on screen: which of the two states, where the position is, where the focus
  // goes.
  void showNewRecordState();
  void showPositionLabels(bool existing);
  void focusRecord();
  void clearPreviousPrices();
  // Selects the first item whose datum is `key` (the second in the presentation list
  // outside "ACE"); a list without it keeps its selection.
  static void selectByKey(forms::ComboBox& list, std::int64_t key, int occurrence = 1);
  void selectPresentation(std::int64_t key);
  void showStoredKey(forms::ComboBox& list, std::optional<std::int64_t> key, int occurrence = 1);
  void dropMissingEntries();
  // The record the screen holds, or nothing after telling the operator why it cannot be
  // saved.
  std::optional<PriceRecord> gatherRecord();
  void saveNewRecord(const PriceRecord& record);
  bool wroteAfterAll(const std::string& check, const store::StoreError& lost);
  bool keyIsSaved(std::int64_t key, const store::StoreError& lost);
  void saveChange(const PriceRecord& record, std::int64_t key);
  // Puts the focus in `box` with its text selected, for the operator to correct.
  void correct(forms::TextBox& box);
  void moveToNewPosition();
  void showSavedRecord(std::int64_t number);
  void showRecordAfterChange();
  // Tells the operator that saved record gRegNum was deleted by another station, and what
  // followed from it.
  void tellRecordGone(const std::string& consequence = {});
  void showError(const std::string& message);
  // Typed work: the record as shown, and whether the operator has changed it since.
  std::vector<std::string> recordOnScreen() const;
  void markRecordShown();
  bool singlePriceTyped() const;
  bool hasUnsavedTyping() const;
  bool mayDiscardTyping(const std::string& question, const std::string& discard);
  struct DeletedRecord;
  // Reads record `key` whole, then runs the delete in gSQL, in one transaction.
  std::optional<DeletedRecord> deleteKeepingRecord(std::int64_t key);
  // After a save, a navigation or a rebuild the deleted record can no longer come back.
  void forgetDeletedRecord();
  // The destination on screen as a key, if one is chosen.
  std::optional<std::int64_t> destinationKey() const;
  static void reformatPrice(forms::TextBox& box);
  // Marks `box` and says so beside the boxes when its text is not an amount; clears both
  // when it is.
  void markIfNotAmount(forms::TextBox& box);

  void fillDestinations(const std::string& column);
  void fillProducts(std::string typeLetter, std::string productModule);
  void fillPresentations(const std::string& typeLetter, const std::string& secondLetter);

  // Runs a statement built in gSQL on its own connection.
  store::Rows runSQL();
  // Runs one step of the start or of a list reload; a database failure is shown to the
  // operator and the rest goes on.
  bool attempt(const std::string& what, const std::function<void()>& step,
               const std::string& advice = {});

  session::SessionState& g_;
  session::DayOutputs* outputs_ = nullptr;

  // The last deleted record, every column by name, and the position it had.
  struct DeletedRecord {
    std::int64_t position;
    std::int64_t key;
    std::vector<std::string> columns;
    store::Row values;
  };
  std::optional<DeletedRecord> deleted_;
  // The destination whose day is on screen.
  std::string dayDestination_;
  // The record's values as last shown, before any typing.
  std::vector<std::string> shownRecord_;
  // The saved record's single price as stored: its box shows it rounded.
  std::string singleStored_;

  // What an event found: put back when the event gives up on the database before the
  // event changed anything in it.
  struct EventStart {
    forms::ScreenState screen;
    session::SessionState session;
    DayBasket basket;
    RecordList records;
    std::optional<DeletedRecord> deleted;
    std::string dayDestination;
    std::vector<std::string> shownRecord;
  };
};

}  // namespace capture
