// libmpv and the sound and window libraries under it keep a few allocations
// for the life of the process.  Only stacks through those libraries are
// forgiven, so a leak in the program's own code is still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libmpv.so\n"
           "leak:libSDL2\n"
           "leak:libasound.so\n"
           "leak:libpulse\n"
           "leak:libjack.so\n"
           "leak:libpipewire\n"
           "leak:libfontconfig.so\n"
           "leak:libX11.so\n"
           "leak:libEGL\n"
           "leak:libGLX\n"
           "leak:libgallium\n"
           "leak:dri.so\n";
}
