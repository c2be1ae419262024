#include "HelpText.h"

namespace {
const char* const kHelpLines[] = {
    "Hey, I know this is strange.",
    "",
    "I mean, who wants the ghost of Mervo in their house?",
    "",
    "But look at it this way.  Suppose you were away from home, and someone comes to break into your empty house.  Suddenly, they hear something: a barking dog, voices, even a party or a movie on the TV.  They leave.  Another home saved by Hauntwatch!",
    "",
    "    What does this thing do for me?",
    "",
    "It's really simple.  Hand Mervo the cupcake, or click on 'Turn Me On', and",
    "the Big M will go to work.  Every now and then, he'll make a sound, or play",
    "a short movie clip to make your house seem lived in.",
    "",
    "    OK, so how do I tell him what to play?",
    "",
    "Click 'What Should I Do?' on the menu.  You can select up to 5 noises",
    "to play, when to play them, and how many times to repeat the noise each time you",
    "play it.  You can add noises (any .AVI or .WAV file). You can tell the Vorn to",
    "make noises exactly when you ask (click 'Exactly') or at some random time around",
    "the time you've requested.  And you can give the Vorn (and your neighbors) a break",
    "by asking Mervo to keep it quiet between certain hours.",
    "",
    "There's one way to get tricky here.  Mervo only knows how to play .AVI or .WAV files.",
    "If you give him a file with any other extension, he'll try to start the file (this is",
    "the same thing that happens when you double click on a file). Windows will try to run",
    "the file with what it thinks is the right application.  This lets you kick off your ",
    "own applications with Hauntwatch.  However, since Mervo doesn't control this program,",
    "he can't close it, so it will keep on running until you return and shut it down.  If you",
    "schedule this program for every hour, for instance, you'll get a new version every hour.",
};
}

CString HelpText()
{
    CString text;
    for (const char* line : kHelpLines)
        text += CString(line) + "\r\n";
    return text;
}
