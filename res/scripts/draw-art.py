#!/usr/bin/env python3
"""Writes the SVG sources of the window picture and the two icons.

Usage: draw-art.py picture|app-icon|document-icon|mansion-alone|cupcake-alone|areas > out

Everything is drawn from fixed numbers and a seeded generator, so the same
script always writes the same SVG.
"""
import math
import random
import sys

# The view's click areas (inclusive pixel ranges); the mansion and the cupcake
# must stay inside them or clicks near their edges would miss.
MANSION_AREA = (26, 26, 159, 124)
CUPCAKE_AREA = (251, 201, 399, 299)
CUPCAKE_X, CUPCAKE_BASE = 325, 292
CUPCAKE_SHADOW = '<ellipse cx="325" cy="294" rx="40" ry="4" fill="#1e3e38" opacity="0.6"/>'
HOUSE_GLOW = '''
  <radialGradient id="houseGlow" cx="0.5" cy="0.5" r="0.6">
    <stop offset="0" stop-color="#ffd76e" stop-opacity="0.25"/>
    <stop offset="1" stop-color="#ffd76e" stop-opacity="0"/>
  </radialGradient>
'''


def svg_open(width, height):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n')


def shared_defs():
    return '''
  <radialGradient id="ghostBody" cx="0.42" cy="0.3" r="0.8">
    <stop offset="0" stop-color="#ffffff"/>
    <stop offset="0.6" stop-color="#f1f3ff"/>
    <stop offset="1" stop-color="#cfd8fb"/>
  </radialGradient>
  <radialGradient id="ghostGlow" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#cfe0ff" stop-opacity="0.55"/>
    <stop offset="0.6" stop-color="#a9bdf5" stop-opacity="0.18"/>
    <stop offset="1" stop-color="#a9bdf5" stop-opacity="0"/>
  </radialGradient>
  <linearGradient id="capCrown" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#5a7be0"/>
    <stop offset="1" stop-color="#3451b0"/>
  </linearGradient>
'''


def mervo(cx, top, scale=1.0):
    """Mervo the ghost, a friendly night guard in a little cap.

    (cx, top) is the top of his head; at scale 1 he is about 84 wide and 96 high.
    """
    s = scale
    w = 36 * s                    # half width of the body
    head_y = top + 38 * s         # centre of the round head
    hem = top + 88 * s            # where the wavy hem starts
    left, right = cx - w, cx + w
    parts = [f'<g id="mervo">']
    parts.append(f'<ellipse cx="{cx:.1f}" cy="{top + 46 * s:.1f}" rx="{62 * s:.1f}" ry="{62 * s:.1f}" fill="url(#ghostGlow)"/>')

    # Arms: the left one waves, the right one rests.
    parts.append(f'<path d="M{left + 8 * s:.1f},{top + 60 * s:.1f} C{left - 14 * s:.1f},{top + 54 * s:.1f} '
                 f'{left - 20 * s:.1f},{top + 40 * s:.1f} {left - 14 * s:.1f},{top + 34 * s:.1f} '
                 f'C{left - 8 * s:.1f},{top + 30 * s:.1f} {left - 2 * s:.1f},{top + 42 * s:.1f} {left + 8 * s:.1f},{top + 48 * s:.1f} Z" '
                 f'fill="#f6f7ff" stroke="#aab6e8" stroke-width="{1.4 * s:.1f}"/>')
    parts.append(f'<path d="M{right - 8 * s:.1f},{top + 56 * s:.1f} C{right + 12 * s:.1f},{top + 58 * s:.1f} '
                 f'{right + 16 * s:.1f},{top + 70 * s:.1f} {right + 9 * s:.1f},{top + 74 * s:.1f} '
                 f'C{right + 4 * s:.1f},{top + 76 * s:.1f} {right:.1f},{top + 70 * s:.1f} {right - 8 * s:.1f},{top + 68 * s:.1f} Z" '
                 f'fill="#eef1ff" stroke="#aab6e8" stroke-width="{1.4 * s:.1f}"/>')

    # Body: round head, sides flaring a little, four scallops at the hem.
    flare = 4 * s
    body = [f'M{left:.1f},{head_y:.1f}',
            f'C{left:.1f},{top + 14 * s:.1f} {cx - 20 * s:.1f},{top:.1f} {cx:.1f},{top:.1f}',
            f'C{cx + 20 * s:.1f},{top:.1f} {right:.1f},{top + 14 * s:.1f} {right:.1f},{head_y:.1f}',
            f'L{right + flare:.1f},{hem:.1f}']
    scallops = 4
    span = (2 * w + 2 * flare) / scallops
    x = right + flare
    for i in range(scallops):
        dip = (12 if i % 2 == 0 else 9) * s
        body.append(f'Q{x - span / 2:.1f},{hem + dip * 1.6:.1f} {x - span:.1f},{hem:.1f}')
        x -= span
    body.append('Z')
    parts.append(f'<path d="{" ".join(body)}" fill="url(#ghostBody)" stroke="#aab6e8" stroke-width="{1.6 * s:.1f}"/>')

    # Face.
    ey = top + 44 * s
    for dx in (-12, 12):
        ex = cx + dx * s
        parts.append(f'<ellipse cx="{ex:.1f}" cy="{ey:.1f}" rx="{5.2 * s:.1f}" ry="{7.2 * s:.1f}" fill="#2b2447"/>')
        parts.append(f'<circle cx="{ex + 1.8 * s:.1f}" cy="{ey - 2.6 * s:.1f}" r="{2.0 * s:.1f}" fill="#ffffff"/>')
        parts.append(f'<circle cx="{ex - 1.6 * s:.1f}" cy="{ey + 2.8 * s:.1f}" r="{0.9 * s:.1f}" fill="#ffffff"/>')
        parts.append(f'<ellipse cx="{cx + dx * 1.65 * s:.1f}" cy="{ey + 11 * s:.1f}" rx="{5 * s:.1f}" ry="{3 * s:.1f}" fill="#ff9fc0" opacity="0.75"/>')
    my = top + 56 * s
    parts.append(f'<path d="M{cx - 7 * s:.1f},{my:.1f} Q{cx:.1f},{my + 10 * s:.1f} {cx + 7 * s:.1f},{my:.1f} Z" '
                 f'fill="#5a2f4f" stroke="#2b2447" stroke-width="{1.2 * s:.1f}" stroke-linejoin="round"/>')
    parts.append(f'<ellipse cx="{cx:.1f}" cy="{my + 4.6 * s:.1f}" rx="{3.2 * s:.1f}" ry="{1.8 * s:.1f}" fill="#ff8fb0"/>')

    # The guard cap, tilted a little, with a gold star badge.
    cap = [f'<g transform="rotate(-8 {cx:.1f} {top + 6 * s:.1f})">',
           f'<path d="M{cx - 22 * s:.1f},{top + 8 * s:.1f} C{cx - 22 * s:.1f},{top - 10 * s:.1f} {cx + 22 * s:.1f},{top - 10 * s:.1f} '
           f'{cx + 22 * s:.1f},{top + 8 * s:.1f} Z" fill="url(#capCrown)" stroke="#243a86" stroke-width="{1.2 * s:.1f}"/>',
           f'<path d="M{cx - 24 * s:.1f},{top + 8 * s:.1f} L{cx + 24 * s:.1f},{top + 8 * s:.1f} '
           f'Q{cx + 30 * s:.1f},{top + 10 * s:.1f} {cx + 26 * s:.1f},{top + 13 * s:.1f} L{cx - 24 * s:.1f},{top + 12 * s:.1f} Z" '
           f'fill="#243a86"/>',
           star(cx, top - 0.5 * s, 5.2 * s, 2.3 * s, '#ffd54a', '#c99a17', 0.8 * s),
           '</g>']
    parts.extend(cap)
    parts.append('</g>')
    return '\n'.join(parts)


def star(cx, cy, outer, inner, fill, stroke='none', stroke_width=0.0):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = -math.pi / 2 + i * math.pi / 5
        points.append(f'{cx + r * math.cos(a):.1f},{cy + r * math.sin(a):.1f}')
    return (f'<polygon points="{" ".join(points)}" fill="{fill}" stroke="{stroke}" '
            f'stroke-width="{stroke_width:.1f}" stroke-linejoin="round"/>')


def cupcake(cx, base, scale=1.0):
    """A strawberry cupcake with a cherry; base is the bottom of its paper case."""
    s = scale
    parts = ['<g id="cupcake">']
    # Paper case: a trapezoid with pleats.
    top = base - 38 * s
    tl, tr = cx - 40 * s, cx + 40 * s
    bl, br = cx - 30 * s, cx + 30 * s
    parts.append(f'<path d="M{tl:.1f},{top:.1f} L{tr:.1f},{top:.1f} L{br:.1f},{base:.1f} '
                 f'Q{cx:.1f},{base + 3 * s:.1f} {bl:.1f},{base:.1f} Z" fill="url(#caseFill)" stroke="#3e9c8c" stroke-width="{1.5 * s:.1f}"/>')
    pleats = 8
    for i in range(1, pleats):
        t = i / pleats
        xt = tl + (tr - tl) * t
        xb = bl + (br - bl) * t
        parts.append(f'<line x1="{xt:.1f}" y1="{top + 1:.1f}" x2="{xb:.1f}" y2="{base - 0.5:.1f}" stroke="#4fb3a2" stroke-width="{2.2 * s:.1f}"/>')
    # Frosting: three soft layers, each a row of round puffs.
    layers = [  # (centre y, half width, puff radius)
        (top - 2 * s, 44 * s, 9 * s),
        (top - 14 * s, 34 * s, 9 * s),
        (top - 25 * s, 22 * s, 9 * s),
    ]
    for ly, hw, pr in layers:
        count = max(3, int(round(2 * hw / (pr * 1.3))))
        parts.append(f'<rect x="{cx - hw:.1f}" y="{ly - pr:.1f}" width="{2 * hw:.1f}" height="{2 * pr:.1f}" rx="{pr:.1f}" '
                     f'fill="#ffadd0" stroke="#e0789f" stroke-width="{1.4 * s:.1f}"/>')
        for i in range(count):
            px = cx - hw + pr + (2 * hw - 2 * pr) * i / (count - 1)
            parts.append(f'<circle cx="{px:.1f}" cy="{ly + pr * 0.2:.1f}" r="{pr:.1f}" fill="#ffb6d5"/>')
        parts.append(f'<rect x="{cx - hw + 3 * s:.1f}" y="{ly - pr * 0.7:.1f}" width="{2 * hw - 14 * s:.1f}" height="{pr * 0.6:.1f}" '
                     f'rx="{pr * 0.3:.1f}" fill="#ffe2ef" opacity="0.8"/>')
    # Sprinkles, always the same ones.
    rng = random.Random(7)
    colours = ['#fff176', '#81d4fa', '#ffffff', '#a5d6a7', '#ce93d8', '#ffcc80']
    for ly, hw, pr in layers:
        for _ in range(int(hw / (4 * s))):
            px = cx + (rng.random() * 2 - 1) * (hw - 4 * s)
            py = ly + (rng.random() * 2 - 1) * pr * 0.55
            angle = rng.random() * 180
            colour = colours[rng.randrange(len(colours))]
            parts.append(f'<rect x="{px - 2.6 * s:.1f}" y="{py - 0.9 * s:.1f}" width="{5.2 * s:.1f}" height="{1.8 * s:.1f}" '
                         f'rx="{0.9 * s:.1f}" fill="{colour}" transform="rotate({angle:.0f} {px:.1f} {py:.1f})"/>')
    # The cherry with its stem.
    chy = top - 38 * s
    parts.append(f'<path d="M{cx + 1 * s:.1f},{chy - 4 * s:.1f} Q{cx + 3 * s:.1f},{chy - 12 * s:.1f} {cx + 8 * s:.1f},{chy - 12.5 * s:.1f}" '
                 f'fill="none" stroke="#6d8b2f" stroke-width="{2.2 * s:.1f}" stroke-linecap="round"/>')
    parts.append(f'<circle cx="{cx:.1f}" cy="{chy:.1f}" r="{8 * s:.1f}" fill="url(#cherry)" stroke="#a3122f" stroke-width="{1.2 * s:.1f}"/>')
    parts.append(f'<ellipse cx="{cx - 2.6 * s:.1f}" cy="{chy - 3 * s:.1f}" rx="{2.4 * s:.1f}" ry="{1.6 * s:.1f}" fill="#ffffff" opacity="0.85"/>')
    parts.append('</g>')
    return '\n'.join(parts)


def cupcake_defs():
    return '''
  <linearGradient id="caseFill" x1="0" y1="0" x2="1" y2="0">
    <stop offset="0" stop-color="#7fdcc8"/>
    <stop offset="0.45" stop-color="#a8efe0"/>
    <stop offset="1" stop-color="#68c8b5"/>
  </linearGradient>
  <radialGradient id="cherry" cx="0.35" cy="0.3" r="0.8">
    <stop offset="0" stop-color="#ff6b7f"/>
    <stop offset="1" stop-color="#c8102e"/>
  </radialGradient>
'''


def mansion():
    """The crooked but cheerful mansion, kept inside MANSION_AREA."""
    p = ['<g id="mansion">']
    wall, wall_dark, roof, roof_dark, trim = '#7d6aa6', '#5f4f86', '#3d2d5e', '#2c2046', '#b9a9dc'
    lit, lit_edge = '#ffd76e', '#f0a93c'

    # Window glow behind everything else of the house.
    p.append('<rect x="60" y="70" width="92" height="52" fill="url(#houseGlow)"/>')

    # Main body with a gabled roof, leaning slightly.
    p.append(f'<rect x="62" y="74" width="86" height="48" fill="{wall}" stroke="{wall_dark}" stroke-width="1.5"/>')
    p.append(f'<rect x="62" y="112" width="86" height="10" fill="{wall_dark}"/>')
    # Crooked chimney with a wisp of smoke.
    p.append(f'<path d="M124,64 L125,44 L134,45 L133,60 Z" fill="{roof_dark}"/>')
    p.append(f'<rect x="122.5" y="41" width="13" height="4.5" rx="1" fill="{roof}" transform="rotate(4 129 43)"/>')
    p.append('<path d="M130,39 C126,35 133,33 129,29" fill="none" stroke="#c9c2e6" stroke-width="2" stroke-linecap="round" opacity="0.55"/>')
    p.append(f'<path d="M56,76 L103,43 L154,77 L150,79 L103,48 L60,78 Z" fill="{roof_dark}"/>')
    p.append(f'<path d="M60,76 L103,46 L150,77 Z" fill="{roof}"/>')
    # Shingle rows.
    for y in (58, 66, 73):
        half = (y - 46) * 47 / 30
        p.append(f'<line x1="{103 - half:.1f}" y1="{y}" x2="{103 + half:.1f}" y2="{y + 0.6:.1f}" stroke="{roof_dark}" stroke-width="1"/>')
    p.append(f'<path d="M60,76 L103,46 L150,77" fill="none" stroke="{trim}" stroke-width="1.6" stroke-linejoin="round"/>')
    # Round attic window.
    p.append(f'<circle cx="104" cy="63" r="6" fill="{lit}" stroke="{roof_dark}" stroke-width="1.5"/>')
    p.append(f'<path d="M98,63 L110,63 M104,57 L104,69" stroke="{roof_dark}" stroke-width="1.2"/>')

    # Tower on the left with a pointed, slightly bent roof.
    p.append(f'<rect x="38" y="60" width="26" height="62" fill="{wall}" stroke="{wall_dark}" stroke-width="1.5"/>')
    p.append(f'<rect x="38" y="112" width="26" height="10" fill="{wall_dark}"/>')
    p.append(f'<path d="M33,62 Q45,52 49,34 Q51,31 53,33 Q57,50 69,62 Z" fill="{roof}" stroke="{roof_dark}" stroke-width="1.5" stroke-linejoin="round"/>')
    p.append(f'<rect x="33" y="60" width="36" height="4" rx="1.5" fill="{trim}"/>')
    p.append(f'<circle cx="51" cy="31" r="2.4" fill="#ffd76e"/>')
    # Tower windows: round at the top, arched below.
    p.append(f'<circle cx="51" cy="75" r="6" fill="{lit}" stroke="{lit_edge}" stroke-width="1"/>')
    p.append(f'<path d="M45,75 L57,75 M51,69 L51,81" stroke="{wall_dark}" stroke-width="1.3"/>')
    p.append(f'<path d="M45,106 L45,95 Q51,88 57,95 L57,106 Z" fill="{lit}" stroke="{lit_edge}" stroke-width="1"/>')
    p.append(f'<path d="M51,91 L51,106 M45,99 L57,99" stroke="{wall_dark}" stroke-width="1.2"/>')

    # Windows of the main body, one shutter hanging askew for the haunted look.
    def window(x, y, w, h, crooked_shutter=False):
        out = [f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{lit}" stroke="{lit_edge}" stroke-width="1"/>',
               f'<path d="M{x + w / 2},{y} L{x + w / 2},{y + h} M{x},{y + h / 2} L{x + w},{y + h / 2}" stroke="{wall_dark}" stroke-width="1.2"/>',
               f'<rect x="{x - 2}" y="{y + h}" width="{w + 4}" height="2.5" fill="{trim}"/>']
        out.append(f'<rect x="{x - 5}" y="{y}" width="4" height="{h}" fill="{roof}"/>')
        if crooked_shutter:
            out.append(f'<rect x="{x + w + 1}" y="{y + 1}" width="4" height="{h}" fill="{roof}" transform="rotate(14 {x + w + 1} {y + 1})"/>')
        else:
            out.append(f'<rect x="{x + w + 1}" y="{y}" width="4" height="{h}" fill="{roof}"/>')
        return out
    p += window(72, 82, 14, 12)
    p += window(121, 82, 14, 12, crooked_shutter=True)
    p += window(72, 99, 14, 12)
    p += window(121, 99, 14, 12)

    # Front door with a little porch roof and steps.
    p.append(f'<path d="M95,122 L95,104 Q103,94 111,104 L111,122 Z" fill="#7a4b3a" stroke="#4e2f25" stroke-width="1.3"/>')
    p.append('<path d="M103,97 L103,122" stroke="#4e2f25" stroke-width="1"/>')
    p.append(f'<circle cx="107.5" cy="112" r="1.3" fill="{lit}"/>')
    p.append(f'<path d="M91,100 L103,92 L115,100 Z" fill="{roof}" stroke="{roof_dark}" stroke-width="1"/>')
    p.append(f'<rect x="92" y="120" width="22" height="2.5" fill="{trim}"/>')
    # A porch lamp that welcomes people home.
    p.append(f'<circle cx="90" cy="106" r="2.2" fill="#fff1a8"/>')
    p.append(f'<circle cx="90" cy="106" r="5" fill="#ffe38a" opacity="0.35"/>')

    # A cobweb in the corner under the gable.
    p.append('<path d="M148,75 L140,75 M148,75 L148,83 M148,75 L142,81 M141,75 Q145,78 148,82 M144,75 Q146,77 148,79" '
             'fill="none" stroke="#d9d3f0" stroke-width="0.6" opacity="0.8"/>')
    p.append('</g>')
    return '\n'.join(p)


def picture():
    w, h = 448, 332
    rng = random.Random(1)
    out = [svg_open(w, h), '<defs>', shared_defs(), cupcake_defs(), HOUSE_GLOW, '''
  <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#120f33"/>
    <stop offset="0.45" stop-color="#27225c"/>
    <stop offset="0.8" stop-color="#4a3f86"/>
    <stop offset="1" stop-color="#6b5a9e"/>
  </linearGradient>
  <radialGradient id="moonGlow" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#fff5cf" stop-opacity="0.55"/>
    <stop offset="0.5" stop-color="#d9cfff" stop-opacity="0.16"/>
    <stop offset="1" stop-color="#d9cfff" stop-opacity="0"/>
  </radialGradient>
  <radialGradient id="moon" cx="0.4" cy="0.35" r="0.7">
    <stop offset="0" stop-color="#fffbe8"/>
    <stop offset="1" stop-color="#f6e3a6"/>
  </radialGradient>
  <linearGradient id="farHill" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#3b5a73"/>
    <stop offset="1" stop-color="#2b4259"/>
  </linearGradient>
  <linearGradient id="hill" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#3f7a6a"/>
    <stop offset="1" stop-color="#2c5a50"/>
  </linearGradient>
  <linearGradient id="ground" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#4b8a72"/>
    <stop offset="1" stop-color="#2d5e52"/>
  </linearGradient>
  <radialGradient id="cupcakeGlow" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#ffe9f3" stop-opacity="0.38"/>
    <stop offset="1" stop-color="#ffe9f3" stop-opacity="0"/>
  </radialGradient>
  <radialGradient id="firefly" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#fff6a0" stop-opacity="1"/>
    <stop offset="0.35" stop-color="#f6ff8a" stop-opacity="0.5"/>
    <stop offset="1" stop-color="#f6ff8a" stop-opacity="0"/>
  </radialGradient>
''', '</defs>']
    out.append(f'<rect width="{w}" height="{h}" fill="url(#sky)"/>')

    # Stars, kept away from the moon.
    for _ in range(70):
        x, y = rng.uniform(2, w - 2), rng.uniform(2, 190)
        if (x - 382) ** 2 + (y - 60) ** 2 < 48 ** 2:
            continue
        r = rng.choice([0.6, 0.8, 0.9, 1.1, 1.3])
        out.append(f'<circle cx="{x:.1f}" cy="{y:.1f}" r="{r}" fill="#fffbe0" opacity="{rng.uniform(0.55, 1):.2f}"/>')
    for x, y, size in ((196, 30, 5), (292, 22, 4), (430, 150, 4), (20, 160, 3.5), (250, 96, 3)):
        out.append(f'<path d="M{x - size},{y} L{x + size},{y} M{x},{y - size} L{x},{y + size}" stroke="#fffbe0" stroke-width="1" stroke-linecap="round"/>')
        out.append(f'<circle cx="{x}" cy="{y}" r="1.4" fill="#ffffff"/>')

    # The moon with a halo and a soft cloud drifting past.
    out.append('<circle cx="382" cy="60" r="70" fill="url(#moonGlow)"/>')
    out.append('<circle cx="382" cy="60" r="29" fill="url(#moon)"/>')
    for x, y, r in ((372, 52, 5), (392, 70, 4), (390, 48, 2.6), (374, 72, 2.2)):
        out.append(f'<circle cx="{x}" cy="{y}" r="{r}" fill="#eed997" opacity="0.7"/>')
    out.append('<path d="M322,92 Q330,80 346,86 Q356,74 372,82 Q388,76 396,88 Q410,86 414,96 Z" fill="#8d7fc0" opacity="0.55"/>')
    out.append('<path d="M180,62 Q188,52 202,58 Q212,48 226,56 Q240,52 244,64 Z" fill="#6c5fa6" opacity="0.45"/>')

    # Two little bats, more cute than scary.
    def bat(x, y, s):
        return (f'<path transform="translate({x} {y}) scale({s})" d="M0,0 Q-4,-5 -9,-3 Q-13,-6 -18,-2 Q-14,0 -13,4 Q-9,1 -6,4 '
                f'Q-3,2 0,5 Q3,2 6,4 Q9,1 13,4 Q14,0 18,-2 Q13,-6 9,-3 Q4,-5 0,0 Z" fill="#2e2560" stroke="#4a3f86" stroke-width="0.8"/>')
    out.append(bat(290, 48, 0.9))
    out.append(bat(318, 128, 0.6))

    # Far hills, then the hill the mansion stands on, then the near ground.
    out.append('<path d="M0,150 Q60,128 130,140 Q210,124 290,150 Q360,136 448,146 L448,332 L0,332 Z" fill="url(#farHill)"/>')
    out.append('<path d="M0,122 Q40,114 100,118 Q160,120 206,146 Q240,168 300,178 Q380,186 448,176 L448,332 L0,332 Z" fill="url(#hill)"/>')
    # Spooky-but-friendly bare tree on the right.
    out.append('<path d="M424,190 L422,150 Q412,140 404,140 M422,150 Q426,132 438,124 M423,164 Q432,158 442,160 '
               'M422,150 Q420,136 414,126" fill="none" stroke="#241c3d" stroke-width="3" stroke-linecap="round"/>')
    out.append('<path d="M419,192 L421,150 L425,150 L428,192 Z" fill="#241c3d"/>')
    out.append('<path d="M0,236 Q70,214 150,226 Q230,240 300,222 Q380,206 448,222 L448,332 L0,332 Z" fill="url(#ground)"/>')
    # A path from the front door winding down towards the viewer.
    out.append('<path d="M99,124 Q94,148 118,168 Q152,194 146,236 Q138,280 118,332 L160,332 Q176,280 174,238 '
               'Q172,196 132,164 Q110,146 108,124 Z" fill="#9c8fb4" opacity="0.4"/>')
    # Grass tufts.
    for x, y in ((24, 262), (70, 300), (210, 296), (236, 252), (420, 250), (430, 308), (250, 318), (36, 316)):
        out.append(f'<path d="M{x - 5},{y} Q{x - 4},{y - 7} {x - 1},{y - 9} M{x},{y} L{x + 1},{y - 10} M{x + 5},{y} Q{x + 5},{y - 6} {x + 8},{y - 8}" '
                   'fill="none" stroke="#6bb08f" stroke-width="1.5" stroke-linecap="round"/>')
    # Little flowers.
    for x, y, c in ((52, 280, '#ffd6e8'), (200, 312, '#fff3b0'), (416, 282, '#d5c7ff'), (236, 280, '#ffd6e8'), (12, 296, '#fff3b0')):
        for a in range(5):
            ang = a * 2 * math.pi / 5
            out.append(f'<circle cx="{x + 2.4 * math.cos(ang):.1f}" cy="{y + 2.4 * math.sin(ang):.1f}" r="1.8" fill="{c}"/>')
        out.append(f'<circle cx="{x}" cy="{y}" r="1.3" fill="#f6b73c"/>')

    out.append(mansion())

    # Mervo floats in the middle with his shadow on the ground below.
    out.append('<ellipse cx="210" cy="246" rx="30" ry="5" fill="#1e3e38" opacity="0.5"/>')
    out.append(mervo(210, 122, 1.0))

    # The cupcake sits on the grass at the bottom right with a soft glow.
    out.append('<ellipse cx="325" cy="251" rx="70" ry="46" fill="url(#cupcakeGlow)"/>')
    out.append(CUPCAKE_SHADOW)
    out.append(cupcake(CUPCAKE_X, CUPCAKE_BASE, 1.0))

    # Fireflies.
    for x, y in ((170, 200), (262, 170), (410, 210), (30, 210), (240, 300), (150, 290), (384, 150)):
        out.append(f'<circle cx="{x}" cy="{y}" r="6" fill="url(#firefly)"/>')
    out.append('</svg>\n')
    return '\n'.join(out)


def app_icon():
    out = [svg_open(256, 256), '<defs>', shared_defs(), '''
  <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#231d5a"/>
    <stop offset="1" stop-color="#4d3f8f"/>
  </linearGradient>
  <clipPath id="tileClip"><rect x="8" y="8" width="240" height="240" rx="48"/></clipPath>
''', '</defs>']
    out.append('<rect x="8" y="8" width="240" height="240" rx="48" fill="url(#tile)"/>')
    out.append('<g clip-path="url(#tileClip)">')
    out.append('<circle cx="198" cy="60" r="22" fill="#fff3c4"/>')
    out.append('<circle cx="190" cy="54" r="4" fill="#eed997" opacity="0.7"/>')
    for x, y, r in ((44, 50, 2.4), (70, 28, 1.8), (150, 30, 2), (226, 118, 1.8), (30, 112, 1.6)):
        out.append(f'<circle cx="{x}" cy="{y}" r="{r}" fill="#fffbe0"/>')
    out.append('<path d="M0,206 Q70,186 128,200 Q190,214 256,196 L256,256 L0,256 Z" fill="#3f7a6a"/>')
    # Mervo scaled so that his cap and hem stay inside the tile.
    out.append('<g transform="translate(128 47) scale(1.7) translate(-128 -20)">')
    out.append(mervo(128, 20, 1.0))
    out.append('</g>')
    out.append('</g>')
    out.append('</svg>\n')
    return '\n'.join(out)


def document_icon():
    out = [svg_open(256, 256), '<defs>', cupcake_defs(), '''
  <linearGradient id="page" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffffff"/>
    <stop offset="1" stop-color="#e9e6f7"/>
  </linearGradient>
''', '</defs>']
    out.append('<path d="M44,12 L168,12 L216,60 L216,244 L44,244 Z" fill="url(#page)" stroke="#7d6aa6" stroke-width="6" stroke-linejoin="round"/>')
    out.append('<path d="M168,12 L168,60 L216,60 Z" fill="#d6cff0" stroke="#7d6aa6" stroke-width="6" stroke-linejoin="round"/>')
    # Schedule rows, as the settings document holds them.
    for i, (y, colour) in enumerate(((42, '#ffadd0'), (66, '#7fdcc8'), (90, '#ffd76e'))):
        out.append(f'<circle cx="74" cy="{y + 5}" r="7" fill="{colour}"/>')
        out.append(f'<rect x="88" y="{y}" width="{68 - 14 * i}" height="10" rx="5" fill="#b9a9dc"/>')
    out.append(f'<g transform="translate(130 230) scale(1.2) translate(-{CUPCAKE_X} -{CUPCAKE_BASE})">')
    out.append(cupcake(CUPCAKE_X, CUPCAKE_BASE, 1.0))
    out.append('</g>')
    out.append('</svg>\n')
    return '\n'.join(out)


def mansion_alone():
    """Only the mansion on a transparent picture-sized canvas, to measure its extent."""
    return '\n'.join([svg_open(448, 332), '<defs>', HOUSE_GLOW, '</defs>', mansion(), '</svg>\n'])


def cupcake_alone():
    """Only the cupcake (with its shadow) on a transparent picture-sized canvas."""
    return '\n'.join([svg_open(448, 332), '<defs>', cupcake_defs(), '</defs>', CUPCAKE_SHADOW,
                      cupcake(CUPCAKE_X, CUPCAKE_BASE, 1.0), '</svg>\n'])


def areas():
    """The two click areas as 'x1 y1 x2 y2' lines, for the checks in make-assets.sh."""
    return '\n'.join(' '.join(str(v) for v in a) for a in (MANSION_AREA, CUPCAKE_AREA)) + '\n'


def main():
    kinds = {'picture': picture, 'app-icon': app_icon, 'document-icon': document_icon,
             'mansion-alone': mansion_alone, 'cupcake-alone': cupcake_alone, 'areas': areas}
    if len(sys.argv) != 2 or sys.argv[1] not in kinds:
        sys.stderr.write('usage: draw-art.py ' + '|'.join(kinds) + '\n')
        return 2
    sys.stdout.write(kinds[sys.argv[1]]())
    return 0


if __name__ == '__main__':
    sys.exit(main())
