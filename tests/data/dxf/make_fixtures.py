#!/usr/bin/python3
# Writes the DXF fixtures with ezdxf (python3-ezdxf) and, beside each, the
# curves the import must make from it (".curves": one curve per line, points
# "x,y" separated by blanks) and the label commands (".labels"). Not run by the
# build: the generated files are committed.
import math
import ezdxf

UNIT = 40


def trunc(v):
    return int(v)  # toward zero


def pt(x, y):
    return (trunc(x * UNIT), trunc(y * UNIT))


def circle_points(cx, cy, r):
    n = trunc(r * 6.28318530718 * UNIT / 40)
    n = max(8, min(100000, n))
    return [pt(math.cos((2 * i) * 3.14159265359 / n) * r + cx,
               math.sin((2 * i) * 3.14159265359 / n) * r + cy) for i in range(n + 1)]


def hidden(doc, e):
    if e.dxftype() == 'TEXT':
        return False
    colour = e.dxf.get('color', 256)
    if colour in (0, 256):
        return False
    layer = doc.layers.get(e.dxf.layer)
    return layer is not None and layer.dxf.color < 0


def convert(doc, e, curves, labels, expanding):
    if hidden(doc, e):
        return
    t = e.dxftype()
    if t == 'LINE':
        curves.append([pt(e.dxf.start.x, e.dxf.start.y), pt(e.dxf.end.x, e.dxf.end.y)])
    elif t == 'CIRCLE':
        curves.append(circle_points(e.dxf.center.x, e.dxf.center.y, e.dxf.radius))
    elif t == 'POLYLINE':
        vs = [pt(v.dxf.location.x, v.dxf.location.y) for v in e.vertices][::-1]
        if e.is_closed and vs:
            vs.append(vs[0])
        curves.append(vs)
    elif t == 'INSERT':
        name = e.dxf.name
        if name in expanding:
            return
        for inner in doc.blocks.get(name):
            convert(doc, inner, curves, labels, expanding + [name])
    elif t == 'TEXT':
        rot = math.radians(e.dxf.get('rotation', 0.0))
        x = trunc(e.dxf.insert.x) * UNIT
        y = trunc(e.dxf.insert.y) * UNIT
        labels.append(b'PU%d,%d;DI%.3f,%.3f;LB' % (x, y, math.cos(rot), math.sin(rot))
                      + e.dxf.text.encode('cp1252') + b'\x03')


def expect(name, doc):
    doc.saveas(name + '.dxf')
    doc = ezdxf.readfile(name + '.dxf')  # what the file holds, read back
    curves, labels = [], []
    for e in doc.modelspace():
        convert(doc, e, curves, labels, [])
    with open(name + '.curves', 'w') as f:
        for c in curves:
            f.write(' '.join('%d,%d' % p for p in c) + '\n')
    with open(name + '.labels', 'wb') as f:
        f.write(b'IN;SP1;' + b''.join(labels))


def shapes():
    doc = ezdxf.new('R12')
    doc.linetypes.add('DASHED', pattern=[0.6, 0.5, -0.1], description='Dashed __ __')
    doc.layers.add('CUT', color=1, linetype='DASHED')
    doc.layers.add('HIDDEN', color=3).off()
    blk = doc.blocks.new('PIECE', base_point=(5, 5))
    blk.add_line((1, 1), (2.5, 1))
    blk.add_line((2.5, 1), (2.5, 3.75))
    msp = doc.modelspace()
    msp.add_line((0.5, 1.25), (10, 20), dxfattribs={'layer': 'CUT'})
    msp.add_line((-0.5, -1.25), (3, 4))
    msp.add_circle((50, 50), 10)
    msp.add_circle((-3, 7.5), 0.1)
    msp.add_polyline2d([(0, 0), (10, 0), (10, 10)], close=True)
    msp.add_polyline2d([(1.5, 2), (3.25, -4), (8, 8), (9.9, -0.1)])
    msp.add_text('ABC', dxfattribs={'insert': (12.7, 3.9), 'rotation': 90})
    msp.add_text('Size 38', dxfattribs={'insert': (-2.5, 100.2)})
    msp.add_line((0, 0), (1, 1), dxfattribs={'layer': 'HIDDEN', 'color': 1})  # skipped
    msp.add_line((0, 0), (2, 2), dxfattribs={'layer': 'HIDDEN'})  # BYLAYER: drawn
    msp.add_blockref('PIECE', (100, 100))
    msp.add_arc((0, 0), 5, 0, 90)
    msp.add_point((3, 3))
    msp.add_solid([(0, 0), (1, 0), (0, 1)])
    msp.add_line((123.456, 78.9), (-0.025, 0.0249))
    expect('shapes_r12', doc)


def nested():
    # Self insertion and mutual insertion, with a line in each block.
    doc = ezdxf.new('R12')
    a = doc.blocks.new('A')
    b = doc.blocks.new('B')
    s = doc.blocks.new('SELF')
    a.add_line((0, 0), (1, 0))
    a.add_blockref('B', (0, 0))
    b.add_line((0, 0), (0, 1))
    b.add_blockref('A', (0, 0))
    s.add_line((2, 2), (3, 3))
    s.add_blockref('SELF', (0, 0))
    msp = doc.modelspace()
    msp.add_blockref('A', (0, 0))
    msp.add_blockref('SELF', (0, 0))
    msp.add_blockref('B', (0, 0))
    expect('nested_r12', doc)


shapes()
nested()
