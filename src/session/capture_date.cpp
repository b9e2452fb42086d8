#include "session/capture_date.h"

#include "forms/question_form.h"
#include "session/capture_module.h"

namespace session {

text::Date today(forms::Host& host) {
  const forms::LocalDateTime now = host.now();
  return text::Date{now.year, now.month, now.day};
}

bool confirmCaptureDate(forms::Host& host, const text::Date& date,
                        const std::string& moduleCaption) {
  const text::Date now = today(host);
  const int kept = keptDays(moduleCodeOf(moduleCaption));
  std::string message;
  if (date > now) {
    message =
        "La fecha " + text::dateLabel(date) + " es posterior a hoy, " + text::dateLabel(now) + ".";
  } else if (date <= text::addDays(now, -kept)) {
    message = "Los registros de " + moduleCaption + " se conservan " + std::to_string(kept) +
              " días: los del " + text::dateLabel(date) +
              " se borran al iniciar el programa, así que lo que capture con esa fecha se "
              "borrará en el próximo inicio.";
  } else {
    return true;
  }
  forms::QuestionForm question(host, "Fecha de captura",
                               message + "\n\n¿Desea continuar con esa fecha?", "Continuar",
                               "Elegir otra fecha");
  host.showModal(question);
  return question.accepted();
}

}  // namespace session
