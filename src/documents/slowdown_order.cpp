// The slowdown order: the form that lists the temporary speed restrictions
// imposed on the train. This train runs without any.

#include "documents/builtin_documents.h"

namespace documents {

std::span<const std::string_view> slowdown_order_lines() {
  static constexpr std::string_view lines[] = {
      "",
      "                               Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      " ________________________________________________________________________________",
      "  Linea  BORVASCO - LESTRANO",
      "",
      "  Si ordina al macchinista del treno 40817  di effettuare i seguenti rallentamenti",
      "",
      "  _______________________________________________________________________________",
      " |   |                            |Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
      " |___|____________________________|____________|__________|_________|____________|",
      " |   |                            |            |          |         |            |",
      " |   |                                                    |         |            |",
      " |                            NESSUNA      PRESCRIZIONE                          |",
      " |   |                                                    |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |___|____________________________|____________|__________|_________|____________|",
      "",
      "              Prescrizioni specifiche",
      "",
      " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
      "",
      " B - Interessa anche la stazione di.......",
      "",
      " D - Rallentamneto N. ... e N. ...  sono contigui",
      "",
      " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
      "     i giorni esclusi i seguenti:.........",
  };
  return lines;
}

}  // namespace documents
