#include "installer/nomi_corsa.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/scrittura.h"
#include "tests/support/cartella.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::CartellaProva;

// The message of the refusal, or none when the names pass.
std::optional<std::string> rifiuto(const NomiCorsa& n) {
  try {
    controlla_corsa(n);
    return std::nullopt;
  } catch (const NomiInConflitto& e) {
    return std::string(e.what());
  }
}

TEST(NomiCorsa, CollisionsAreRefusedNamingBothRoles) {
  CartellaProva c;
  const fs::path d = c.percorso();
  fs::create_directory(d / "sotto");
  // Wine makes no symbolic links: that case runs where the system does.
  std::error_code senza_collegamenti;
  fs::create_directory_symlink(d / "sotto", d / "collegata", senza_collegamenti);
  struct Caso {
    const char* nome;
    NomiCorsa n;
    const char* ruoli;  // both roles, as the message gives them; empty: no refusal
  };
  const auto uscita = [&](const std::string& nome, const char* ruolo) {
    return FileCorsa{d / nome, ruolo};
  };
  std::vector<Caso> casi = {
      {"distinct names", {{uscita("a.dat", "A"), uscita("b.dat", "B")}, {}, {}}, ""},
      {"the same name twice", {{uscita("a.dat", "A"), uscita("a.dat", "B")}, {}, {}}, "A "},
      {"case told apart",
       {{uscita("a.dat", "A"), uscita("A.DAT", "B")}, {}, {}, ConfrontoNomi::esatto},
       ""},
      {"case not told apart",
       {{uscita("a.dat", "A"), uscita("A.DAT", "B")}, {}, {}, ConfrontoNomi::senza_maiuscole},
       "non distingue"},
      {"an output over a source, spelt another way",
       {{uscita("sotto/../x.txt", "l'uscita")}, {uscita("x.txt", "il sorgente")}, {}},
       "l'uscita "},
      {"an output over the program", {{uscita("prog", "l'uscita")}, {}, d / "prog"}, "stesso"},
      {"an output under a temporary file's name",
       {{uscita(".scenario.abc123", "A")}, {}, {}},
       "file temporaneo"},
      {"the program under a temporary file's name beside the outputs",
       {{uscita("a.dat", "A")}, {}, d / ".scenario.Zz0099"},
       "file temporaneo"},
      {"the program under an older temporary name of an output",
       {{uscita("a.dat", "A")}, {}, d / "a.dat.tmp12"},
       "file temporaneo"},
      {"the program under a temporary name in another folder",
       {{uscita("a.dat", "A")}, {}, d / "sotto" / ".scenario.Zz0099"},
       ""},
  };
#ifndef _WIN32
  // A name's bytes as they are; on Windows a narrow name goes through the
  // system's code page first.
  casi.push_back({"a Windows-1252 capital folds to its small letter",
                  {{uscita("citt\xC0.txt", "A"), uscita("citt\xE0.txt", "B")},
                   {},
                   {},
                   ConfrontoNomi::senza_maiuscole},
                  "A "});
#endif
  if (!senza_collegamenti) {
    casi.push_back(
        {"through a linked folder",
         {{uscita("collegata/x.txt", "l'uscita")}, {uscita("sotto/x.txt", "il sorgente")}, {}},
         "il sorgente "});
  }
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const std::optional<std::string> m = rifiuto(k.n);
    if (std::string(k.ruoli).empty()) {
      EXPECT_FALSE(m) << *m;
      continue;
    }
    ASSERT_TRUE(m);
    EXPECT_EQ(m->rfind("nomi in conflitto: ", 0), 0u) << *m;
    EXPECT_NE(m->find(k.ruoli), std::string::npos) << *m;
    EXPECT_NE(m->find("nessun file scritto"), std::string::npos) << *m;
  }
}

// The train "linea": its cell file is the line plan; "LINEA" is the same
// name where case is not told apart.
TEST(NomiCorsa, AnIdentityWhoseNamesCollide) {
  for (const char* treno : {"linea", "LINEA"}) {
    for (const ConfrontoNomi c : {ConfrontoNomi::esatto, ConfrontoNomi::senza_maiuscole}) {
      SCOPED_TRACE(std::string(treno) + (c == ConfrontoNomi::esatto ? " exact" : " folded"));
      NomiCorsa n;
      n.uscite = file_installatore("cartella", {"L", treno});
      n.confronto = c;
      const bool atteso = std::string(treno) == "linea" || c == ConfrontoNomi::senza_maiuscole;
      try {
        controlla_nomi_corsa(n);
        EXPECT_FALSE(atteso);
      } catch (const NomiInConflitto& e) {
        EXPECT_TRUE(atteso) << e.what();
        const std::string cartella = (fs::path("cartella") / "L_").string();
        EXPECT_NE(std::string(e.what()).find("la planimetria della linea " + cartella +
                                             "linea.dat e il file delle celle " + cartella),
                  std::string::npos)
            << e.what();
      }
    }
  }
  NomiCorsa portato;
  portato.uscite = file_installatore("cartella", {"Lanvero_Ostrel", "24817"});
  portato.confronto = ConfrontoNomi::senza_maiuscole;
  EXPECT_NO_THROW(controlla_nomi_corsa(portato));
}

// Only a file (or a link, replaced itself) may stand under an output name.
TEST(NomiCorsa, OnlyAFileIsReplaced) {
  CartellaProva c;
  test::scrivi(c / "file", "x");
  fs::create_directory(c / "cartella");
  struct Caso {
    const char* nome;
    std::string motivo;  // empty: accepted
  };
  std::vector<Caso> casi = {
      {"manca", ""},
      {"file", ""},
      {"cartella", ""},  // the writer's to refuse, as no rename replaces it
  };
  // Wine makes no symbolic links: that case runs where the system does.
  std::error_code senza_collegamenti;
  fs::create_symlink(c / "cartella", c / "collegamento", senza_collegamenti);
  if (!senza_collegamenti) casi.push_back({"collegamento", ""});
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((c / "fifo").c_str(), 0644), 0) << std::strerror(errno);
  casi.push_back({"fifo", "sotto questo nome c'e' una FIFO, non un file"});
  casi.push_back({"/dev/null", "sotto questo nome c'e' un dispositivo, non un file"});
#endif
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    NomiCorsa n;
    n.uscite = {{c / k.nome, "l'uscita"}};
    try {
      controlla_corsa(n);
      EXPECT_EQ(k.motivo, "");
    } catch (const GuastoPiattaforma& e) {
      EXPECT_EQ(std::string(e.what()), "impossibile scrivere " + (c / k.nome).string() + ": " +
                                           k.motivo + ": nessun file sostituito");
    }
  }
}

}  // namespace
}  // namespace scenario
