#!/usr/bin/python3
"""Writes the golden result files of tests/output/DBErgout_test.cpp.

An independent second implementation of the file layouts: the test model is
filled by the same formulas as FuelleTestmodell() in the test (each value
computed in double and stored as a 32-bit float), and the lines are formatted
with Python's own %-formatting. Run it from this folder; it rewrites
kanal_tag14.txt, verlauf_tag14.txt and feld_seg5_tag14.dat.
"""
import struct

def f32(x):
    return struct.unpack('f', struct.pack('f', x))[0]

SEGMENTE = 3
SEGLAENGE = f32(2.5)
ROHRE = {1: 1, 2: 4, 3: 1}
CREDITS = '# Erdkanalmodell Terval 1.00 h  v. 10.08.04 - Simulation eines Erdwärmetauschers'

def segmentwerte(d, k):
    """T_ein, T_aus, VolStromRohr, Alpha per segment for day d, hour k."""
    t_ein, t_aus, vol, alpha = {}, {}, {}, {}
    t_ein[1] = f32(-0.5 + 0.3 * k + 0.01 * (d - 1))
    for s in range(1, SEGMENTE + 1):
        t_aus[s] = f32(t_ein[s] + 0.7 * s)
        if s < SEGMENTE:
            t_ein[s + 1] = t_aus[s]
        vol[s] = f32((123.456 + 0.1 * k - 10.0 * (s - 1)) / 3600.0)
        alpha[s] = f32(10.3 + 0.02 * d + s)
    return t_ein, t_aus, vol, alpha

def klimawerte(d, k):
    """The 18 climate columns in file order."""
    w = [f32((j + 1) * 1.1 - 3.3 + 0.01 * k + 0.001 * d) for j in range(18)]
    w[16] = f32(5.0)                       # Wolken
    w[17] = f32(1.7 if k == 13 else 0.0)   # Nieders
    return w

def r(v, breite, nachkomma):
    return '%*.*f' % (breite, nachkomma, v)

def datenzeile(n, d, k):
    t_ein, t_aus, vol, _ = segmentwerte(d, k)
    ein, aus = t_ein[1], t_aus[SEGMENTE]
    teile = ['%3d' % n, '%3d' % d, '%2d' % k,
             r(ein, 2, 2), r(aus, 2, 2), r(aus - ein, 2, 2), r(vol[1] * 60.0 * 60.0, 2, 2)]
    teile += [r(v, 3, 2) for v in klimawerte(d, k)]
    return ' '.join(teile)

def schreibe(name, zeilen):
    with open(name, 'wb') as f:
        for z in zeilen:
            f.write(z.encode('cp1252') + b'\r\n')

def kanal(d):
    t_ein, t_aus, vol, alpha = segmentwerte(d, 12)
    zeilen = [CREDITS, '# Seg m Rohre T_ein T_aus dT(imSeg) dT(imKanal) Vol_Strom ']
    for s in range(1, SEGMENTE + 1):
        zeilen.append(' '.join(['%3d' % s, r(s * SEGLAENGE, 3, 2), '%d' % ROHRE[s],
                                r(t_ein[s], 2, 2), r(t_aus[s], 2, 2),
                                r(t_aus[s] - t_ein[s], 2, 2), r(t_aus[s] - t_ein[1], 2, 2),
                                r(vol[s] * 60.0 * 60.0, 2, 2), r(alpha[s], 2, 2)]))
    return zeilen

def verlauf(d):
    zeilen = [CREDITS,
              '# N Tag Stunde T_ein T_aus T_delta Vol_Strom RFeuchte e Esat Wind Glob-str. '
              'Lw_Str Net_Boden G ra pot_Verd_mm real_Verd_mm pot_Verd_W Eta_Kanal Eta_z1 '
              'Eta_z3 Eta_z5 Wolken Niederschl']
    zeilen += [datenzeile(k + 1, d, k) for k in range(24)]
    return zeilen

def feld(letzte_spalte):
    zeilen = ['X Z T eta']
    for zeile in range(17):
        theta = 0.2 + 0.01 * zeile
        for c in range(letzte_spalte + 1):
            t = f32(10.0 + 0.3 * c - 0.2 * zeile)
            zeilen.append(' '.join([r(c * 0.5, 2, 2), r(-zeile * 0.5 + 0.0, 2, 2),
                                    r(t, 3, 2), r(theta, 3, 2)]))
    return zeilen

if __name__ == '__main__':
    schreibe('kanal_tag14.txt', kanal(14))
    schreibe('verlauf_tag14.txt', verlauf(14))
    schreibe('feld_seg5_tag14.dat', feld(2))
