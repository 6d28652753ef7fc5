// A PGN file of three games for the checks of PGN reading, under Node and in
// the browser: headers, comments of both kinds, NAGs, nested variations,
// castling with zeros, an escaped line, and a game from a FEN header.
export const THREE_GAMES = `; a file of three games
[Event "Club"]
[White "Anna Berg"]
[Black "Boris"]
[Result "1-0"]
[Date "2024.05.01"]

1. e4 {the king's pawn} e5 (1... c5 2. Nf3 (2. c3 d5) d6) 2. Nf3 $1 Nc6!? 3. Bb5 a6
; a comment to the line's end
4. Ba4 Nf6 5. 0-0 1-0

[White "Carla"]
[Black "Dan"]
[Result "0-1"]
[SetUp "1"]
[FEN "4k3/8/8/8/8/8/4q3/K7 b - - 0 40"]

40... Qe1+ 41. Ka2 Kd7 0-1
%an escaped line ( that is not a variation
[White "Eve"]
[Black "Finn"]
1. d4 d5 2. c4 *
`;

// What each game's main line is, in SAN, and where it starts.
export const THREE_GAMES_LINES = [
  { startFen: null, san: ['e4', 'e5', 'Nf3', 'Nc6', 'Bb5', 'a6', 'Ba4', 'Nf6', 'O-O'] },
  { startFen: '4k3/8/8/8/8/8/4q3/K7 b - - 0 40', san: ['Qe1+', 'Ka2', 'Kd7'] },
  { startFen: null, san: ['d4', 'd5', 'c4'] },
];

export const THREE_GAMES_LABELS = ['1. Anna Berg \u2013 Boris, 1-0, 2024.05.01', '2. Carla \u2013 Dan, 0-1', '3. Eve \u2013 Finn, *'];
