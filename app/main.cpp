#include "app/Main.h"

#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
    platform::QtPlatform platform;
    return Main(argc, argv, platform);
}
