// Entry point of kovrex_nl and kovrex_en; the language comes from the linked text set.
#include "app/gtk/main_program.h"

int main(int argc, char** argv) { return kovrex::RunMainProgram(argc, argv); }
