#include "app/CQENApp.h"

int main(int argc, char** argv)
{
    trivane::CQENApp app;
    return app.Run(argc, argv);
}
