#include "emit/emittitori.h"

#include "emit/dati_linea.h"
#include "emit/dati_note.h"
#include "emit/dati_rallentamenti.h"
#include "emit/dati_scheda.h"
#include "emit/dati_treno.h"

namespace scenario {

namespace {

std::string nome_note(const Identita& id) { return nome_documento(id, "note.txt"); }
std::string nome_rallentamenti(const Identita& id) {
  return nome_documento(id, "rallentamenti.txt");
}
std::string nome_scheda(const Identita& id) { return nome_documento(id, "scheda_treno.txt"); }

// The source files come first: the compiler reads them right after.
constexpr Emittitore kEmittitori[] = {
    {"dati_linea", nome_sorgente_linea, dati_linea},
    {"dati_treno", nome_sorgente_treno, dati_treno},
    {"dati_note", nome_note, dati_note},
    {"dati_rallentamenti", nome_rallentamenti, dati_rallentamenti},
    {"dati_scheda", nome_scheda, dati_scheda},
};

}  // namespace

std::span<const Emittitore> emittitori() { return kEmittitori; }

}  // namespace scenario
