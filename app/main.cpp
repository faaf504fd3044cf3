#include "app/quorvanel_app.h"

int main(int argc, char** argv) { return qv::RunQuorvanel(argc, argv); }
