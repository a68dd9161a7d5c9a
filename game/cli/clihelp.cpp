// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Tessaro developers
#include "clihelp.h"

namespace tessaro::cli {

const char* const kUsageText =
    "Usage: tessaro-cli [--database PATH | --server URI] COMMAND [ARGS]\n"
    "\n"
    "Plays the game from a terminal against the game database TESSARO_DB.mdb,\n"
    "with the same checks, messages and effects as the game window.\n"
    "\n"
    "Commands:\n"
    "  run PRODUCTION HIRING PASSWORD   enter the decisions and run the plan-quarter\n"
    "  reinit PASSWORD                  re-initialise the game to its first quarter\n"
    "  undo PASSWORD                    take back the last quarter (the\n"
    "                                   re-initialisation password)\n"
    "  games                            the archive of the game file, newest first\n"
    "  branch N OUT.mdb                 a new game file standing at plan-quarter N\n"
    "  status                           the game file, the plan-quarter number and\n"
    "                                   the last quarter's brief\n"
    "  report                           the plan report of the last quarter\n"
    "  sheet                            the performance sheet of the last quarter\n"
    "  trace [--csv]                    the steps of the last quarter (PLED)\n"
    "  history [--csv]                  every plan-quarter (PLIO with its PLDI row)\n"
    "  debrief OUT.pdf [--paper a4|letter]\n"
    "                                   the debrief report of the game as a PDF\n"
    "  league FILE... [--csv]           rank the games of several teams\n"
    "  league [--csv]                   with --server: rank every team of the class\n"
    "  class init [--passwords FILE] TEAM...\n"
    "  class list | reinit TEAM | drop TEAM [--yes]\n"
    "  class export TEAM OUT.mdb | import TEAM IN.mdb\n"
    "                                   the teacher's commands on a class server\n"
    "\n"
    "Options (anywhere on the line):\n"
    "  --database PATH   play the game in PATH (created as a new game when missing)\n"
    "  --server URI      play your team's game on a class server: a libpq URI\n"
    "                    (postgresql://host/class) or key=value string; the\n"
    "                    environment variable TESSARO_SERVER gives the default.\n"
    "                    No password in it: ~/.pgpass, PGPASSFILE or a service file\n"
    "  -h, --help        this text; COMMAND --help tells about one command\n"
    "  -v, --version     the program's version\n"
    "  --                ends the options: every word after it is the command's,\n"
    "                    so that a decision, a password or a file may start with \"-\"\n"
    "\n"
    "Without --database the game lies beside the program when you may write there\n"
    "and the program is not installed system-wide, otherwise in your data folder,\n"
    "$XDG_DATA_HOME/tessaro (~/.local/share/tessaro). 'status' names the file.\n"
    "\n"
    "Message boxes print as one line each, TITLE: TEXT; those with the critical\n"
    "icon (refusals and failures) go to standard error, the others to standard\n"
    "output.\n"
    "Exit status: 0 done, 1 input refused, 2 database or model failure,\n"
    "64 wrong command line (a password in the server's address too), 65 the\n"
    "database is not a class or holds no game of the team, 69 the server cannot be\n"
    "reached or went away, 77 the login was refused (wrong password, none found)\n"
    "or the role has no right to it.\n";

const std::map<std::string, std::string>& commandHelp() {
    static const std::map<std::string, std::string> help = {
        {"run",
         "Usage: tessaro-cli [--database PATH] run PRODUCTION HIRING PASSWORD\n"
         "Enters the production orders (2000 to 5000 units) and the trainees' hiring\n"
         "(5 to 25 persons) for the plan-quarter and runs it, exactly as the decision\n"
         "window's \"System Dynamics Run\" button does. An empty argument (\"\") stands\n"
         "for an empty box. A text that starts with \"-\" follows \"--\", which ends the\n"
         "options: tessaro-cli run -- -h 10 WOTA reads \"-h\" as the production orders.\n"},
        {"reinit",
         "Usage: tessaro-cli [--database PATH] reinit PASSWORD\n"
         "Presses \"System Dynamics Run\" with both decision boxes empty: with the\n"
         "re-initialisation password the game goes back to its first quarter.\n"},
        {"undo",
         "Usage: tessaro-cli [--database PATH] undo PASSWORD\n"
         "Takes back the last plan-quarter, as the game window's \"Take Back Last\n"
         "Quarter\" does: its PLIO and PLDI rows go, the trace of the quarter before\n"
         "comes back as it was written, and the decisions of the row before stand as\n"
         "they stood before the run. The same decisions again give the same game.\n"
         "PASSWORD is the re-initialisation password. Quarters come back one by one\n"
         "down to the first quarter of the game.\n"},
        {"games",
         "Usage: tessaro-cli [--database PATH] games\n"
         "Lists the games that re-initialisations have kept beside the game file\n"
         "(STEM-YYYYMMDD-HHMMSS.mdb), newest first: file, date, quarters played and\n"
         "running total of the value of the game. Each can be played with --database.\n"},
        {"branch",
         "Usage: tessaro-cli [--database PATH] branch N OUT.mdb\n"
         "Writes a new game file OUT.mdb that stands where this game stood at\n"
         "plan-quarter N (PLIO rows 0 to N, as 'history' numbers them), to play on\n"
         "from there with --database OUT.mdb. This game is not changed; OUT.mdb must\n"
         "not exist.\n"},
        {"status",
         "Usage: tessaro-cli [--database PATH] status\n"
         "Shows the plan-quarter number of the game board and the Plan Brief of the\n"
         "quarter run last.\n"},
        {"report",
         "Usage: tessaro-cli [--database PATH] report\n"
         "Shows the plan report: decisions against results, levels and rates.\n"},
        {"sheet",
         "Usage: tessaro-cli [--database PATH] sheet\n"
         "Shows the performance sheet: earnings, costs and the value of the game.\n"},
        {"trace",
         "Usage: tessaro-cli [--database PATH] trace [--csv]\n"
         "Lists the steps of the quarter run last (table PLED); --csv for spreadsheets.\n"},
        {"history",
         "Usage: tessaro-cli [--database PATH] history [--csv]\n"
         "Lists every plan-quarter: its PLIO row with the PLDI row of its accounting;\n"
         "--csv for spreadsheets.\n"},
        {"debrief",
         "Usage: tessaro-cli [--database PATH] debrief OUT.pdf [--paper a4|letter]\n"
         "Writes the debrief report of the game as one PDF: the title and plan-quarter,\n"
         "the performance sheet and the plan report of the last quarter, the past plan\n"
         "plots and game value plots of every quarter, and a page that explains the\n"
         "score. --paper chooses A4 (the default) or Letter. The game is only read;\n"
         "OUT.pdf appears complete or not at all. No display is needed.\n"},
        {"league",
         "Usage: tessaro-cli league FILE... [--csv]\n"
         "Reads the game files of several teams without changing them and ranks the\n"
         "teams by their running total and by their average value of the game, with\n"
         "the quarters played, the last decisions and the value of the game per\n"
         "quarter; --csv for spreadsheets. A file that cannot be read is named on\n"
         "standard error with the reason, and the others still rank. Exit status 0\n"
         "when at least one team ranks, 2 when none can be read.\n"
         "With --server URI (or TESSARO_SERVER) and no files: every team of the class\n"
         "on that server, read from one state of it by the teacher's role.\n"},
        {"class",
         "Usage: tessaro-cli --server URI class init [--passwords FILE] TEAM...\n"
         "       tessaro-cli --server URI class list\n"
         "       tessaro-cli --server URI class reinit TEAM\n"
         "       tessaro-cli --server URI class drop TEAM [--yes]\n"
         "       tessaro-cli --server URI class export TEAM OUT.mdb\n"
         "       tessaro-cli --server URI class import TEAM IN.mdb\n"
         "The teacher's commands, as a role that may create roles, on the class's\n"
         "database. init makes one login role, schema and new game per team (names:\n"
         "1 to 31 lowercase letters, digits and _) and gives each a new password,\n"
         "written once to FILE as ~/.pgpass lines (mode 0600), or shown once without\n"
         "--passwords; a team that exists refuses the whole command. list shows the\n"
         "teams, their quarters played and last run. reinit re-initialises a team's\n"
         "game, keeping it in the team's archive ('games' lists it). drop removes a\n"
         "team for good, after typing its name (--yes asks nothing). export writes a\n"
         "team's game to a new game file; import replaces a team's game by a file's,\n"
         "keeping the one replaced in its archive. The source is never changed.\n"},
    };
    return help;
}

}  // namespace tessaro::cli
