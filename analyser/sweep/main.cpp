// sorvel-sweep FILE.cir [--at F | --start F --stop F] [--delay | --measure | --touchstone [--out FILE]]
// Reads a circuit file as the analyser does and prints S21 and S11 in dB as CSV over the
// file's sweep (or another range), or at one frequency, in the file's unit (MHz, or Hz
// offset for a crystal circuit); optionally with the group delay, or the filter's readouts,
// or the statistics of a tolerance run.
// Any failure prints its message alone on standard error and exits with 1.

#include <cstdio>
#include <string>

#include "common/errors.h"
#include "common/program_info.h"
#include "analyser/sweep/sweep_command.h"

namespace {

const char kHelp[] =
    "Usage: sorvel-sweep FILE.cir [--at FREQUENCY | --start FREQUENCY --stop FREQUENCY]\n"
    "                   [--delay | --measure | --touchstone [--out FILE]\n"
    "                    | --monte-carlo N [--xtal-sigma HZ | --xtal-spread HZ]\n"
    "                      [--cap-tol PCT] [--ind-tol PCT] [--seed S] [--envelope]\n"
    "                    | --fit MEAS.s2p [--free SET] [--fit-q] [--out FITTED.cir]]\n"
    "       sorvel-sweep FILE.cir --step [--measure]\n"
    "       sorvel-sweep --help | --version\n"
    "\n"
    "Reads the circuit file FILE.cir as Sorvel does and prints its response as CSV: the\n"
    "header frequency,s21_db,s11_db, then one line for each of the plot's 1000 frequencies.\n"
    "Frequencies are in the file's unit: MHz, or Hz of offset from the crystal frequency\n"
    "for a crystal filter.\n"
    "\n"
    "  --at FREQUENCY    print the line for this one frequency only\n"
    "  --start FREQUENCY, --stop FREQUENCY\n"
    "                    sweep this range instead of the file's\n"
    "  --delay           add the group delay in seconds as a last column\n"
    "  --measure         print the filter's readouts as quantity,value,unit lines\n"
    "  --touchstone      print the sweep as a Touchstone file (S11 S21 S12 S22)\n"
    "  --out FILE        with --touchstone: write FILE instead of standard output\n"
    "  --monte-carlo N   run N trials (1 to 100000) of the circuit with its parts spread and\n"
    "                    print quantity,mean,sd,min,p5,median,p95,max lines for the readouts\n"
    "  --xtal-sigma HZ   each crystal's offset moves by a normal deviation of HZ\n"
    "  --xtal-spread HZ  each crystal's offset moves uniformly within +-HZ\n"
    "  --cap-tol PCT     each capacitor's value moves uniformly within +-PCT %\n"
    "  --ind-tol PCT     each inductor's value moves uniformly within +-PCT %\n"
    "  --seed S          the random sequence (0 to 2^64-1, default 1): the same seed gives\n"
    "                    the same output\n"
    "  --envelope        print frequency,min_db,p5_db,p95_db,max_db lines of S21 instead\n"
    "  --step            print the step response as time_s,step lines: the response to a\n"
    "                    unit step (a low-pass), or the envelope of a carrier at the centre\n"
    "                    switched on at t = 0 (a band-pass), from 0 to the end of the\n"
    "                    settling plus 20 %\n"
    "  --step --measure  print step_delay_s, rise_s, overshoot_pct and settle_s instead\n"
    "  --fit MEAS.s2p    fit the circuit to the measurement's points inside the sweep and\n"
    "                    print entry,kind,nominal,fitted,change,sigma,unit,flag lines, then\n"
    "                    residual_rms_db,BEFORE,AFTER\n"
    "  --free SET        the values the fit moves: default (crystal offsets and shunt\n"
    "                    capacitors), crystals, shunt, all, or entry numbers such as 2,5,8\n"
    "  --fit-q           also fit the crystals' and the inductors' common Q\n"
    "  --out FITTED.cir  with --fit: write the circuit with the fitted values\n"
    "  --help            print this text and exit\n"
    "  --version         print the version and exit\n"
    "\n"
    "Exit status: 0 on success; 1 on any failure, with the message alone on standard error.\n"
    "Trials of --monte-carlo that fail are left out of the figures and reported on standard\n"
    "error; only a run whose every trial fails is a failure. A poor fit prints its table,\n"
    "says so on standard error and writes no file.\n";

}  // namespace

int main(int argc, char** argv)
{
    if (const auto info = programInfoText(argc, argv, "sorvel-sweep", kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    try {
        const auto options = parseSweepOptions(argc, argv);
        if (!options) {
            std::fprintf(stderr, "%s\n", kSweepUsage);
            return 1;
        }
        // The whole output is made first, so a failure leaves no partial table behind.
        std::string notes;
        const std::string out = runSweep(*options, &notes);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (!notes.empty())
            std::fprintf(stderr, "%s\n", notes.c_str());
        if (std::fflush(stdout) != 0)
            return 1;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
