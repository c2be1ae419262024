#!/bin/bash
# Makes the guard's two spoken sounds and the sample noises from nothing but
# espeak-ng and sox.  Usage: make-sounds.sh DATA_DIR
# Writes DATA_DIR/thanks.wav, DATA_DIR/mervo.wav and DATA_DIR/noises/*.wav,
# all 16-bit mono PCM at 22050 Hz.  sox runs in repeatable mode (-R) so the
# noise generators give the same samples on every run.
set -euo pipefail

data=${1:?usage: make-sounds.sh DATA_DIR}
mkdir -p "$data/noises"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

RATE=22050

# sox in repeatable mode, guarding every step against clipping (-G) and
# quiet about warnings (every final file is normalised at the end).
sx() { sox -R -G -V1 "$@"; }

# synth OUT LENGTH SYNTH-ARGS... EFFECTS...: a generated mono take.  Without
# -G, which sox refuses together with synth's own headroom handling.
synth() {
  local out=$1 len=$2
  shift 2
  sox -R -V1 -n -r $RATE -c 1 -b 16 "$out" synth "$len" "$@"
}

# speak OUT VOICE PITCH SPEED TEXT: espeak-ng at the project's rate, with
# leading and trailing silence trimmed and the pauses at punctuation held
# to a fifth of a second so the short lines stay short.
speak() {
  local out=$1 voice=$2 pitch=$3 speed=$4 text=$5
  espeak-ng -v "$voice" -p "$pitch" -s "$speed" -g 1 -w "$work/raw-speech.wav" "$text"
  sx "$work/raw-speech.wav" -r $RATE "$out" silence -l 1 0.01 0.5% -1 0.2 0.5% reverse silence 1 0.01 0.5% reverse
}

# calc EXPR: arithmetic with fractions, printed with four decimals.
calc() { awk "BEGIN { printf \"%.4f\", $1 }"; }

# at OUT DELAY IN: IN padded with DELAY seconds of silence in front, for mixing.
at() { sx "$3" "$1" pad "$2" 0; }

# mix OUT IN...: sum of the inputs (each already placed with `at`).
mix() {
  local out=$1
  shift
  if [ $# -eq 1 ]; then cp "$1" "$out"; else sx -m "$@" "$out"; fi
}

# finish IN OUT PEAK-DB FADE-IN FADE-OUT EFFECTS...: effects, normalised to
# the peak, faded in and out, written as the final 16-bit mono file.  The
# fade runs as a pass of its own with the length spelt out: after reverb,
# sox's fade to "-0" (the end) cuts the sound to half its length.
finish() {
  local in=$1 out=$2 peak=$3 fade_in=$4 fade_out=$5
  shift 5
  sx "$in" -c 1 "$work/finish.wav" "$@" norm "$peak"
  sx "$work/finish.wav" -r $RATE -c 1 -b 16 -e signed-integer "$out" \
    fade q "$fade_in" "$(soxi -D "$work/finish.wav")" "$fade_out"
}

# A soft two-note chime, rising (on) or falling (off), like a friendly bell.
chime() {
  local out=$1 first=$2 second=$3
  synth "$work/c1.wav" 0.7 pluck "$first" synth 0.7 sine mix "$first" fade q 0.005 0.7 0.6 gain -8
  synth "$work/c2.wav" 0.9 pluck "$second" synth 0.9 sine mix "$second" fade q 0.005 0.9 0.8 gain -8
  at "$work/c2d.wav" 0.16 "$work/c2.wav"
  mix "$work/chime-raw.wav" "$work/c1.wav" "$work/c2d.wav"
  sx "$work/chime-raw.wav" "$out" lowpass 3500
}

# The ghost's voice: a warm, slightly airy espeak voice with a light chorus
# (a hint of ghostliness that keeps the words clear) and a small room.
ghost_voice() {
  local in=$1 out=$2
  sx "$in" "$out" highpass 120 equalizer 220 1q -3 equalizer 2800 1.2q 3 equalizer 6500 1.5q -5 \
    chorus 0.8 0.9 45 0.35 0.3 2.2 -s reverb 22 50 35 channels 1 gain -3
}

make_thanks() {
  speak "$work/thanks-words.wav" en-us+Andy 68 165 "Thanks, Mervo is on duty!"
  ghost_voice "$work/thanks-words.wav" "$work/thanks-voice.wav"
  chime "$work/thanks-chime.wav" E5 B5
  at "$work/thanks-voice-late.wav" 0.12 "$work/thanks-voice.wav"
  mix "$work/thanks-mix.wav" -v 0.55 "$work/thanks-chime.wav" "$work/thanks-voice-late.wav"
  finish "$work/thanks-mix.wav" "$data/thanks.wav" -1 0.005 0.15
}

make_mervo() {
  speak "$work/mervo-words.wav" en-us+Andy 62 165 "Mervo, off duty. Bye!"
  ghost_voice "$work/mervo-words.wav" "$work/mervo-voice.wav"
  chime "$work/mervo-chime.wav" B5 E5
  local len
  len=$(soxi -D "$work/mervo-voice.wav")
  at "$work/mervo-chime-late.wav" "$(calc "$len - 0.35")" "$work/mervo-chime.wav"
  mix "$work/mervo-mix.wav" "$work/mervo-voice.wav" -v 0.55 "$work/mervo-chime-late.wav"
  finish "$work/mervo-mix.wav" "$data/mervo.wav" -1 0.005 0.2
}

# One bark: a harmonic tone whose pitch falls fast, roughened with
# noise and overdrive, shaped by the formants of a medium dog's mouth.
bark() {
  local out=$1 high=$2 low=$3 len=$4
  synth "$work/bark-tone.wav" "$len" sawtooth "$high:$low" synth "$len" square mix "$(calc "$high / 2"):$(calc "$low / 2")"
  synth "$work/bark-noise.wav" "$len" pinknoise
  sx -m -v 0.8 "$work/bark-tone.wav" -v 0.45 "$work/bark-noise.wav" "$out" \
    overdrive 12 highpass 280 lowpass 3200 equalizer 850 1.1q 7 equalizer 1900 1.5q 4 \
    fade q 0.006 "$len" "$(calc "$len * 0.7")" gain -6
}

make_dog() {
  bark "$work/b1.wav" 760 430 0.17
  bark "$work/b2.wav" 820 470 0.15
  bark "$work/b3.wav" 700 400 0.2
  bark "$work/b4.wav" 900 520 0.13
  local parts=()
  local i=0
  # "Woof woof ... woof woof woof ... woof!", as a dog behind a door does.
  local when which
  for entry in "0.00 b1" "0.30 b2" "1.15 b3" "1.42 b4" "1.66 b2" "2.70 b1" "2.98 b3" "3.95 b4" "4.16 b2"; do
    read -r when which <<<"$entry"
    at "$work/dog-$i.wav" "$when" "$work/$which.wav"
    parts+=("$work/dog-$i.wav")
    i=$((i + 1))
  done
  synth "$work/dog-air.wav" 4.8 brownnoise gain -40
  mix "$work/dog-mix.wav" "${parts[@]}" "$work/dog-air.wav"
  finish "$work/dog-mix.wav" "$data/noises/dog-barking.wav" -3 0.01 0.3 \
    pad 0.1 0.4 reverb 40 60 60 50 8 lowpass 5000 trim 0 5.2
}

# One footstep on a wooden floor: a low heel thump, then the softer slap of
# the sole a moment later.
step() {
  local out=$1 pitch=$2 level=$3
  synth "$work/heel-tone.wav" 0.12 sine "$pitch:$(calc "$pitch * 0.6")" fade q 0.002 0.12 0.11
  synth "$work/heel-noise.wav" 0.09 brownnoise lowpass 900 fade q 0.001 0.09 0.085
  synth "$work/sole.wav" 0.07 pinknoise bandpass 1600 1.2q fade q 0.001 0.07 0.065 gain -9
  at "$work/sole-late.wav" 0.055 "$work/sole.wav"
  sx -m -v 0.9 "$work/heel-tone.wav" -v 0.7 "$work/heel-noise.wav" "$work/sole-late.wav" "$out" gain "$level"
}

make_footsteps() {
  local parts=()
  local i=0 t pitch level
  # Someone walks across the room upstairs: nearer, then away again, with one
  # board that creaks.
  for entry in "0.00 95 -10" "0.56 88 -8" "1.10 97 -6" "1.67 90 -4" "2.22 96 -3" "2.79 89 -3" \
              "3.33 95 -4" "3.90 88 -6" "4.45 97 -8" "5.01 90 -10"; do
    read -r t pitch level <<<"$entry"
    step "$work/step-$i.wav" "$pitch" "$level"
    at "$work/steps-$i.wav" "$t" "$work/step-$i.wav"
    parts+=("$work/steps-$i.wav")
    i=$((i + 1))
  done
  synth "$work/creak-raw.wav" 0.45 sawtooth 38:52 synth 0.45 sine amod 9 \
    bandpass 1100 3q bandpass 2300 4q fade q 0.04 0.45 0.2 gain -2
  at "$work/creak.wav" 2.86 "$work/creak-raw.wav"
  synth "$work/room.wav" 5.7 brownnoise lowpass 300 gain -38
  mix "$work/steps-mix.wav" "${parts[@]}" -v 0.5 "$work/creak.wav" "$work/room.wav"
  finish "$work/steps-mix.wav" "$data/noises/footsteps.wav" -3 0.01 0.3 \
    highpass 30 lowpass 3500 reverb 35 50 45 40 6 trim 0 5.8
}

make_voices() {
  # A conversation in the kitchen next door: several people, overlapping a
  # little, the words lost in the wall.
  speak "$work/v1.wav" en-us+m3 45 150 "Did you put the kettle on? I thought you said you would."
  speak "$work/v2.wav" en-gb+f3 70 160 "Oh, not yet. Where did we leave the good cups?"
  speak "$work/v3.wav" en-us+Andy 35 140 "They are on the top shelf, behind the biscuits."
  speak "$work/v4.wav" en-gb+f2 62 170 "Ha ha, of course they are. I will make some tea."
  at "$work/v1a.wav" 0.0 "$work/v1.wav"
  at "$work/v2a.wav" 2.25 "$work/v2.wav"
  at "$work/v3a.wav" 3.95 "$work/v3.wav"
  at "$work/v4a.wav" 5.35 "$work/v4.wav"
  synth "$work/voices-room.wav" 7.8 brownnoise lowpass 250 gain -34
  mix "$work/voices-mix.wav" -v 0.5 "$work/v1a.wav" -v 0.42 "$work/v2a.wav" -v 0.5 "$work/v3a.wav" -v 0.42 "$work/v4a.wav" \
    -v 0.5 "$work/voices-room.wav"
  finish "$work/voices-mix.wav" "$data/noises/voices-in-another-room.wav" -4 0.3 0.6 \
    lowpass 650 lowpass 900 highpass 90 equalizer 300 1q 3 reverb 55 60 70 60 15 trim 0 5.9
}

# One knock of a knuckle on a wooden door.
knock() {
  local out=$1 level=$2
  synth "$work/knock-body.wav" 0.09 sine 190:140 fade q 0.001 0.09 0.085
  synth "$work/knock-tap.wav" 0.04 pinknoise bandpass 700 1.5q fade q 0.0005 0.04 0.038
  sx -m "$work/knock-body.wav" -v 1.2 "$work/knock-tap.wav" "$out" gain "$level"
}

make_door() {
  knock "$work/k1.wav" -2
  knock "$work/k2.wav" -4
  knock "$work/k3.wav" -1
  at "$work/k1a.wav" 0.00 "$work/k1.wav"
  at "$work/k2a.wav" 0.24 "$work/k2.wav"
  at "$work/k3a.wav" 0.48 "$work/k3.wav"
  # The door swings open on a dry hinge: a slow rubbing buzz through the
  # resonances of the door panel, wavering in pitch.
  synth "$work/hinge.wav" 1.5 sawtooth 40:72 synth 1.5 sine amod 5:9 40 \
    bandpass 950 2.5q bandpass 1400 3q equalizer 2600 3q 6 tremolo 3.5 40 norm -3 fade q 0.15 1.5 0.5
  at "$work/hinge-a.wav" 1.15 "$work/hinge.wav"
  # Then it falls shut: a heavy thud and the click of the latch.
  synth "$work/thud-tone.wav" 0.45 sine 72:48 fade q 0.002 0.45 0.43
  synth "$work/thud-noise.wav" 0.3 brownnoise lowpass 500 fade q 0.001 0.3 0.29
  synth "$work/latch.wav" 0.03 pinknoise highpass 2500 fade q 0.0005 0.03 0.028 gain -6
  sx -m "$work/thud-tone.wav" "$work/thud-noise.wav" "$work/thud.wav"
  at "$work/thud-a.wav" 3.55 "$work/thud.wav"
  at "$work/latch-a.wav" 3.60 "$work/latch.wav"
  synth "$work/hall.wav" 4.9 brownnoise lowpass 300 gain -40
  mix "$work/door-mix.wav" "$work/k1a.wav" "$work/k2a.wav" "$work/k3a.wav" -v 0.5 "$work/hinge-a.wav" \
    -v 1.1 "$work/thud-a.wav" "$work/latch-a.wav" "$work/hall.wav"
  finish "$work/door-mix.wav" "$data/noises/door.wav" -2 0.005 0.4 \
    highpass 30 reverb 40 50 55 40 10 lowpass 6000 trim 0 4.9
}

make_television() {
  # A programme murmuring in the living room: a presenter and a guest, a
  # little theme tune underneath, all through the wall.
  speak "$work/tv1.wav" en-us+m1 55 185 "And now, the weather for the weekend. Expect a few showers in the north, \
but it will stay mild and dry further south."
  speak "$work/tv2.wav" en-us+f4 68 180 "Thank you. Later tonight, we will meet the family who built a castle in their garden."
  at "$work/tv2a.wav" 4.6 "$work/tv2.wav"
  # Theme tune: plucked notes of a simple major melody over soft chords.
  local notes=(C5 E5 G5 E5 F5 A5 G5 E5 D5 F5 E5 C5) t=0 i=0 parts=()
  for n in "${notes[@]}"; do
    synth "$work/tn-$i.wav" 0.5 pluck "$n" fade q 0.003 0.5 0.4 gain -10
    at "$work/tna-$i.wav" "$t" "$work/tn-$i.wav"
    parts+=("$work/tna-$i.wav")
    t=$(calc "$t + 0.32")
    i=$((i + 1))
  done
  synth "$work/chord1.wav" 1.9 triangle C3 synth 1.9 triangle mix G3 synth 1.9 sine mix E4 fade q 0.1 1.9 0.5 gain -22
  synth "$work/chord2.wav" 1.9 triangle F3 synth 1.9 triangle mix C4 synth 1.9 sine mix A4 fade q 0.1 1.9 0.5 gain -22
  at "$work/chord2a.wav" 1.9 "$work/chord2.wav"
  mix "$work/tune.wav" "${parts[@]}" "$work/chord1.wav" "$work/chord2a.wav"
  # The tune plays under the start and comes back softly under the guest.
  at "$work/tune-a.wav" 0.0 "$work/tune.wav"
  at "$work/tune-b.wav" 5.2 "$work/tune.wav"
  at "$work/tv1a.wav" 0.9 "$work/tv1.wav"
  synth "$work/tv-hum.wav" 8.0 sine 50 synth 8.0 sine mix 100 gain -42
  synth "$work/tv-hiss.wav" 8.0 pinknoise gain -44
  mix "$work/tv-mix.wav" -v 0.8 "$work/tune-a.wav" -v 0.45 "$work/tune-b.wav" "$work/tv1a.wav" "$work/tv2a.wav" \
    "$work/tv-hum.wav" "$work/tv-hiss.wav"
  finish "$work/tv-mix.wav" "$data/noises/television.wav" -5 0.4 0.8 \
    highpass 150 lowpass 1400 lowpass 1800 equalizer 900 1q 3 reverb 45 60 60 50 8 trim 0 5.9
}

make_thanks
make_mervo
make_dog
make_footsteps
make_voices
make_door
make_television
