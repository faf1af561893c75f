#include "emit/emittitori.h"

#include "emit/dati_linea.h"
#include "emit/dati_note.h"
#include "emit/dati_rallentamenti.h"
#include "emit/dati_scheda.h"
#include "emit/dati_treno.h"

namespace scenario {

namespace {

// In the order of nomi_testi.
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
