-- Envelope formats shipped with the program. Millimetres from the top left
-- corner of the envelope lying with its long side horizontal. The sender
-- sits in the upper left, the recipient in the lower right, the big postal
-- code in the lower left corner, the comment above the recipient, the stamp
-- corner (upper right) is left free.
INSERT INTO konverts ("NameKonvert", "H", "W", "LinesH",
  "OtkogoL", "OtkogoT", "OtkogoH", "OtkogoW",
  "OtkudaL", "OtkudaT", "OtkudaH", "OtkudaW",
  "OtindexL", "OtindexT", "OtindexH", "OtindexW",
  "KomuL", "KomuT", "KomuH", "KomuW",
  "KudaL", "KudaT", "KudaH", "KudaW",
  "IndexL", "IndexT", "IndexH", "IndexW",
  "LogoL", "LogoT", "LogoH", "LogoW",
  "ZIPcodeL", "ZIPcodeT",
  "KonvertCommentL", "KonvertCommentT", "KonvertCommentH", "KonvertCommentW")
VALUES
('DL 220x110', 110, 220, 6, 25, 6, 5, 80, 25, 13, 14, 80, 10, 32, 5, 22, 120, 58, 5, 92, 120, 65, 20, 92, 120, 92, 5, 22, 108, 6, 18, 25, 10, 88, 120, 38, 16, 53),
('C6 162x114', 114, 162, 6, 25, 6, 5, 51, 25, 13, 14, 51, 10, 32, 5, 22, 74, 62, 5, 80, 74, 69, 20, 80, 74, 96, 5, 22, 79, 6, 18, 25, 5, 92, 74, 42, 16, 53),
('C65 229x114', 114, 229, 6, 25, 6, 5, 80, 25, 13, 14, 80, 10, 32, 5, 22, 129, 62, 5, 92, 129, 69, 20, 92, 129, 96, 5, 22, 108, 6, 18, 25, 10, 92, 129, 42, 16, 53),
('C5 229x162', 162, 229, 6, 25, 6, 5, 80, 25, 13, 14, 80, 10, 32, 5, 22, 129, 110, 5, 92, 129, 117, 20, 92, 129, 144, 5, 22, 108, 6, 18, 25, 10, 140, 129, 90, 16, 53),
('C4 324x229', 229, 324, 6, 25, 6, 5, 80, 25, 13, 14, 80, 10, 32, 5, 22, 224, 177, 5, 92, 224, 184, 20, 92, 224, 211, 5, 22, 108, 6, 18, 25, 10, 207, 224, 157, 16, 53),
('B4 353x250', 250, 353, 6, 25, 6, 5, 80, 25, 13, 14, 80, 10, 32, 5, 22, 253, 198, 5, 92, 253, 205, 20, 92, 253, 232, 5, 22, 108, 6, 18, 25, 10, 228, 253, 178, 16, 53);
